#include "core/reports/serverstatistics.h"

#include "core/data/serverdatabase.h"

namespace kq {

namespace {

int SecondsOf(const QTime& time) {
    return time.msecsSinceStartOfDay() / 1000;
}

} // namespace

SqlStatement ServerTotalsStatement(const QList<TBaseInfo>& slotTable, int reasons, const QString& first,
                                   const QString& last) {
    SqlStatement st;
    QStringList sums{QStringLiteral("Name")};
    // t is the slot's time, 00:00:00 when there is none: no punch, as in EvaluateRow.
    for (int s = 0; s < slotTable.size(); ++s) {
        const TBaseInfo& info = slotTable.at(s);
        const QString t = QStringLiteral("coalesce(%1, 0)").arg(SlotSecondsColumn(s));
        if (info.Marked) {
            const int begin = SecondsOf(info.beginTime(s)), end = SecondsOf(info.endTime(s));
            // Late: begin < t <= end; early: begin <= t < end; overnight: t > begin or t < end.
            QString test = info.Overnight ? QStringLiteral("(%1 > ? OR %1 < ?)")
                                          : (s % 2 == 0 ? QStringLiteral("(? < %1 AND %1 <= ?)")
                                                        : QStringLiteral("(? <= %1 AND %1 < ?)"));
            test = QStringLiteral("(%1 <> 0 AND %2)").arg(t, test.arg(t));
            // Late seconds run from the shift's begin to the time, early ones from the time to its end.
            const QString secs = s % 2 == 0 ? QStringLiteral("mod(%1 - ? + 86400, 86400)").arg(t)
                                            : QStringLiteral("mod(? - %1 + 86400, 86400)").arg(t);
            sums << QStringLiteral("sum(CASE WHEN %1 THEN 1 ELSE 0 END)").arg(test)
                 << QStringLiteral("sum(CASE WHEN %1 THEN %2 ELSE 0 END)").arg(test, secs);
            st.values << begin << end << begin << end << (s % 2 == 0 ? begin : end);
        }
        if (info.Accumulate) {
            const int on = s - s % 2;
            sums << QStringLiteral("sum(CASE WHEN %1 IS NOT NULL AND %2 IS NOT NULL THEN mod(%2 - %1 + "
                                   "86400, 86400) ELSE 0 END)")
                        .arg(SlotSecondsColumn(on), SlotSecondsColumn(on + 1));
        }
    }
    for (int r = 1; r <= reasons; ++r) {
        sums << QStringLiteral("count(*) FILTER (WHERE LeaveType = ?)");
        st.values << r;
    }
    st.sql = QStringLiteral(
                 "SELECT %1 FROM WorkList WHERE DDate >= ? AND DDate <= ? AND NOT Unreadable GROUP BY Name")
                 .arg(sums.join(QStringLiteral(", ")));
    st.values << first << last;
    return st;
}

SqlStatement LeftoverRowsStatement(const QList<TBaseInfo>& slotTable, const QString& first,
                                   const QString& last) {
    QString columns = QStringLiteral("Name, LeaveType");
    for (int s = 0; s < slotTable.size(); ++s)
        columns += QStringLiteral(", ") + SlotColumn(s);
    return {
        QStringLiteral("SELECT %1 FROM WorkList WHERE DDate >= ? AND DDate <= ? AND Unreadable").arg(columns),
        {first, last}};
}

} // namespace kq
