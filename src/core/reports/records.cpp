#include "reports/records.h"

#include "data/shared.h"
#include "reports/rowscan.h"

#include <QSet>

namespace kq {

namespace {

// The where clause and order of a filter, appended to a select of listed columns.
SqlStatement Select(const QString& columns, const RecordFilter& filter) {
    SqlStatement st;
    st.sql = QStringLiteral("select ") + columns + QStringLiteral(" from WorkList");
    if (!filter.wholeTable) {
        st.sql += QStringLiteral(" where ");
        if (!filter.name.isEmpty()) {
            st.sql += QStringLiteral("Name = ? and ");
            st.values << filter.name;
        }
        st.sql += QStringLiteral("DDate >= ? and DDate <= ?");
        st.values << DateText(filter.first) << DateText(filter.last);
    }
    st.sql += QStringLiteral(" order by DDate, Name");
    return st;
}

QString SlotColumns(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << SlotColumn(i);
    return names.join(QStringLiteral(", "));
}

} // namespace

SqlStatement RecordStatement(const RecordFilter& filter) {
    return Select(QStringLiteral("DDate, Name, ") + SlotColumns(kSlotCount) +
                      QStringLiteral(", LeaveType, Comment, ISn"),
                  filter);
}

void CompletePeriod(const QString& name, const QDate& first, const QDate& last) {
    if (!first.isValid() || !last.isValid() || first > last) return;
    QSet<QString> present;
    QSqlQuery q =
        ExecSql(QStringLiteral("select DDate from WorkList where Name = ? and DDate >= ? and DDate <= ?"),
                {name, DateText(first), DateText(last)});
    while (q.next())
        present.insert(q.value(0).toString());
    QStringList missing;
    for (QDate d = first; d <= last; d = d.addDays(1))
        if (const QString text = DateText(d); !present.contains(text)) missing << text;
    if (missing.isEmpty()) return;
    Transaction transaction;
    for (const QString& date : missing)
        AddWorkRow(date, name);
    transaction.commit();
}

QList<TSlotTotals> EvaluateRecords(const QList<TBaseInfo>& slotTable, const RecordFilter& filter) {
    QList<TSlotTotals> totals(slotTable.size());
    if (slotTable.isEmpty()) return totals;
    const SqlStatement st = Select(SlotColumns(int(slotTable.size())), filter);
    RowScan rows(st.sql, st.values);
    SlotTimes times;
    while (rows.next()) {
        for (int s = 0; s < slotTable.size(); ++s)
            times[s] = ParseStoredTime(rows.text(s));
        EvaluateRow(slotTable, times, totals);
    }
    return totals;
}

} // namespace kq
