#include "core/reports/records.h"

#include "core/data/shared.h"
#include "core/reports/rowscan.h"

#include <QSet>

namespace kq {

namespace {

// The rows after key in the order DDate, Name, ISn, where null comes first as in the order by.
// The leading DDate range lets the date index start at the key instead of the first row.
QString AfterCondition(const RecordKey& key, QVariantList& values) {
    if (!key.date.isNull()) values << key.date << key.date;
    QString byName;
    if (key.name.isNull()) {
        byName = QStringLiteral("(Name is not null or ISn > ?)");
        values << key.isn;
    } else {
        byName = QStringLiteral("(Name > ? or (Name = ? and ISn > ?))");
        values << key.name << key.name << key.isn;
    }
    if (key.date.isNull()) return QStringLiteral("(DDate is not null or ") + byName + QStringLiteral(")");
    return QStringLiteral("DDate >= ? and (DDate > ? or ") + byName + QStringLiteral(")");
}

// A select of listed columns over the filter's rows (after key, at most limit of them when > 0),
// in the grid's order.
SqlStatement Select(const QString& columns, const RecordFilter& filter, const RecordKey* after = nullptr,
                    int limit = 0) {
    SqlStatement st;
    QStringList conditions;
    if (!filter.wholeTable) {
        if (!filter.name.isEmpty()) {
            conditions << QStringLiteral("Name = ?");
            st.values << filter.name;
        }
        conditions << QStringLiteral("DDate >= ? and DDate <= ?");
        st.values << DateText(filter.first) << DateText(filter.last);
    }
    if (after) conditions << AfterCondition(*after, st.values);
    st.sql = QStringLiteral("select ") + columns + QStringLiteral(" from WorkList");
    if (!conditions.isEmpty()) st.sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    // Nulls first on every engine (SQLite's order; the server puts them last unless told).
    st.sql += QStringLiteral(" order by DDate nulls first, Name nulls first, ISn");
    if (limit > 0) {
        st.sql += QStringLiteral(" limit ?");
        st.values << limit;
    }
    return st;
}

QString SlotColumns(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << SlotColumn(i);
    return names.join(QStringLiteral(", "));
}

QString RecordColumnList() {
    return QStringLiteral("DDate, Name, ") + SlotColumns(kSlotCount) +
           QStringLiteral(", LeaveType, Comment, ISn");
}

} // namespace

SqlStatement RecordStatement(const RecordFilter& filter) {
    return Select(RecordColumnList(), filter);
}

SqlStatement RecordPageStatement(const RecordFilter& filter, const RecordKey* after, int count) {
    return Select(RecordColumnList(), filter, after, count);
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
