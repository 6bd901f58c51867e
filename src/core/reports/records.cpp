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

// The rows before key in the same order. The trailing DDate range lets the date index end at it.
QString BeforeCondition(const RecordKey& key, QVariantList& values) {
    QVariantList nameValues;
    QString byName;
    if (key.name.isNull()) {
        byName = QStringLiteral("(Name is null and ISn < ?)");
        nameValues << key.isn;
    } else {
        byName = QStringLiteral("(Name is null or Name < ? or (Name = ? and ISn < ?))");
        nameValues << key.name << key.name << key.isn;
    }
    if (key.date.isNull()) {
        values << nameValues;
        return QStringLiteral("DDate is null and ") + byName;
    }
    values << key.date << key.date << nameValues << key.date;
    return QStringLiteral("(DDate is null or DDate < ? or (DDate = ? and ") + byName +
           QStringLiteral(")) and (DDate is null or DDate <= ?)");
}

// A select of listed columns over the filter's rows in the grid's order, or from the page
// start's key (the first or last row without one) on in its direction, skipping its rows, at
// most limit of them when > 0.
SqlStatement Select(const QString& columns, const RecordFilter& filter, const PageStart& from = {},
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
    if (from.key)
        conditions << (from.backwards ? BeforeCondition(*from.key, st.values)
                                      : AfterCondition(*from.key, st.values));
    st.sql = QStringLiteral("select ") + columns + QStringLiteral(" from WorkList");
    if (!conditions.isEmpty()) st.sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    // Nulls first on every engine (SQLite's order; the server puts them last unless told), and
    // last when read backwards.
    st.sql += from.backwards
                  ? QStringLiteral(" order by DDate desc nulls last, Name desc nulls last, ISn desc")
                  : QStringLiteral(" order by DDate nulls first, Name nulls first, ISn");
    if (limit > 0) {
        st.sql += QStringLiteral(" limit ? offset ?");
        st.values << limit << from.skip;
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

// Pieces of a count over at most this many stretches of dates.
constexpr int kMaxCountPieces = 240;

SqlStatement CountWhere(const RecordFilter& filter, const QString& condition, const QVariantList& values) {
    SqlStatement st = RecordCountStatement(filter);
    st.sql +=
        (st.sql.contains(QStringLiteral(" where ")) ? QStringLiteral(" and ") : QStringLiteral(" where ")) +
        condition;
    st.values << values;
    return st;
}

} // namespace

SqlStatement RecordStatement(const RecordFilter& filter) {
    return Select(RecordColumnList(), filter);
}

SqlStatement RecordPageStatement(const RecordFilter& filter, const PageStart& from, int count) {
    return Select(RecordColumnList(), filter, from, count);
}

SqlStatement RecordCountStatement(const RecordFilter& filter) {
    SqlStatement st = Select(QStringLiteral("count(*)"), filter);
    st.sql.truncate(st.sql.indexOf(QStringLiteral(" order by")));
    return st;
}

QList<SqlStatement> RecordCountPieces(const RecordFilter& filter, const QDate& from, const QDate& to) {
    QList<SqlStatement> pieces;
    if (filter.wholeTable) pieces << CountWhere(filter, QStringLiteral("DDate is null"), {});
    // Month starts after from up to to, fewer of them for a long span; the pieces between them
    // cover every dated row (texts that are no dates included) exactly once.
    QStringList bounds;
    if (from.isValid() && to.isValid() && from < to) {
        const int months = (to.year() - from.year()) * 12 + to.month() - from.month();
        const int step = months / kMaxCountPieces + 1;
        for (QDate m = QDate(from.year(), from.month(), 1).addMonths(step); m <= to; m = m.addMonths(step))
            bounds << DateText(m);
    }
    if (bounds.isEmpty()) return pieces << CountWhere(filter, QStringLiteral("DDate is not null"), {});
    pieces << CountWhere(filter, QStringLiteral("DDate < ?"), {bounds.first()});
    for (int i = 1; i < bounds.size(); ++i)
        pieces << CountWhere(filter, QStringLiteral("DDate >= ? and DDate < ?"),
                             {bounds.at(i - 1), bounds.at(i)});
    return pieces << CountWhere(filter, QStringLiteral("DDate >= ?"), {bounds.last()});
}

SqlStatement DateRangeStatement() {
    return {QStringLiteral("select min(DDate), max(DDate) from WorkList"), {}};
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

QList<TSlotTotals> EvaluateRecords(const QList<TBaseInfo>& slotTable, const RecordFilter& filter,
                                   std::shared_ptr<WorkListReader> snapshot) {
    QList<TSlotTotals> totals(slotTable.size());
    if (slotTable.isEmpty()) return totals;
    const SqlStatement st = Select(SlotColumns(int(slotTable.size())), filter);
    RowScan rows(std::move(snapshot), st.sql, st.values);
    SlotTimes times;
    while (rows.next()) {
        for (int s = 0; s < slotTable.size(); ++s)
            times[s] = ParseStoredTime(rows.text(s));
        EvaluateRow(slotTable, times, totals);
    }
    return totals;
}

} // namespace kq
