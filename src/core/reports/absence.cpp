#include "core/reports/absence.h"

#include "core/data/database.h"
#include "core/data/shared.h"
#include "core/reports/evaluation.h"
#include "core/reports/rowscan.h"

namespace kq {

bool IsOperatorOnly(bool isOperator, const QString& cardNo) {
    return isOperator && cardNo.trimmed().isEmpty();
}

QHash<QString, int> CountAbsentDays(const QSet<QString>& names, const WorkCalendar& calendar,
                                    const QDate& first, const QDate& last, const QDate& today,
                                    int reasonCount, std::shared_ptr<WorkListReader> snapshot) {
    QHash<QString, int> absent;
    for (const QString& name : names)
        absent.insert(name, 0);
    // Days to come cannot have been missed yet.
    const QDate end = qMin(last, today);
    if (names.isEmpty() || !first.isValid() || !end.isValid() || first > end) return absent;

    QString columns = QStringLiteral("Name, DDate, LeaveType");
    for (int s = 0; s < kSlotCount; ++s)
        columns += QStringLiteral(", ") + SlotColumn(s);
    if (!snapshot) snapshot = std::make_shared<WorkListReader>();
    RowScan rows(snapshot,
                 QStringLiteral("select %1 from WorkList where DDate >= ? and DDate <= ?").arg(columns),
                 {DateText(first), DateText(end)});
    QSet<QString> attended; // name + "\n" + date of a day with a punch or a reason
    while (rows.next()) {
        const QString name = QString::fromUtf8(rows.text(0));
        if (!names.contains(name)) continue;
        const qint64 leaveType = rows.integer(2);
        bool seen = leaveType >= 1 && leaveType <= reasonCount;
        for (int s = 0; s < kSlotCount && !seen; ++s) {
            seen = IsPunch(ParseStoredTime(rows.text(3 + s)));
        }
        if (seen) attended.insert(name + QLatin1Char('\n') + QString::fromUtf8(rows.text(1)));
    }
    for (QDate d = first; d <= end; d = d.addDays(1)) {
        if (!calendar.isWorkday(d)) continue;
        const QString suffix = QLatin1Char('\n') + DateText(d);
        for (auto it = absent.begin(); it != absent.end(); ++it)
            if (!attended.contains(it.key() + suffix)) ++it.value();
    }
    return absent;
}

QString AbsentDaysLine(int days) {
    return QStringLiteral("缺勤天数：") + QString::number(days);
}

} // namespace kq
