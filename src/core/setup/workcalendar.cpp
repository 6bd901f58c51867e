#include "core/setup/workcalendar.h"

#include "core/data/database.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/reports/findinfo.h"

namespace kq {

namespace {

bool IsWeekday(const QDate& date) {
    return date.dayOfWeek() <= 5;
}

} // namespace

QList<CalendarDay> ReadCalendar(const QDate& first, const QDate& last) {
    QString sql = QStringLiteral("select DDate, Kind, DayName from WorkCalendar");
    QVariantList values;
    if (first.isValid() && last.isValid()) {
        sql += QStringLiteral(" where DDate >= ? and DDate <= ?");
        values << DateText(first) << DateText(last);
    }
    QSqlQuery q = ExecSql(sql + QStringLiteral(" order by DDate"), values);
    QList<CalendarDay> days;
    while (q.next()) {
        const QDate date = QDate::fromString(q.value(0).toString(), QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid()) continue; // a date typed into the table by hand that means no day
        const CalendarKind kind =
            q.value(1).toInt() == int(CalendarKind::Workday) ? CalendarKind::Workday : CalendarKind::Holiday;
        days.append({date, kind, q.value(2).toString()});
    }
    return days;
}

void SetCalendarDay(const CalendarDay& day) {
    Transaction transaction;
    ExecSql(QStringLiteral("delete from WorkCalendar where DDate = ?"), {DateText(day.date)});
    ExecSql(QStringLiteral("insert into WorkCalendar (DDate, Kind, DayName) values (?, ?, ?)"),
            {DateText(day.date), int(day.kind), day.name});
    transaction.commit();
}

bool DeleteCalendarDay(const QDate& date) {
    return ExecSql(QStringLiteral("delete from WorkCalendar where DDate = ?"), {DateText(date)})
               .numRowsAffected() > 0;
}

QString CheckCalendarName(const QString& name) {
    return TooWide(QStringLiteral("名称"), name, FieldWidth::DayName).value_or(QString());
}

WorkCalendar::WorkCalendar(const QList<CalendarDay>& days) {
    for (const CalendarDay& day : days)
        m_days.insert(day.date, day.kind);
}

WorkCalendar WorkCalendar::Read() {
    return WorkCalendar(ReadCalendar());
}

bool WorkCalendar::isWorkday(const QDate& date) const {
    const auto it = m_days.constFind(date);
    if (it == m_days.cend()) return IsWeekday(date);
    return *it == CalendarKind::Workday;
}

int WorkCalendar::workDayCount(const QDate& first, const QDate& last) const {
    if (!first.isValid() || !last.isValid() || first > last) return 0;
    int count = WorkDayCount(first, last);
    // Only entries that change their day count: a holiday on a weekday, a workday on a weekend.
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
        if (it.key() < first || it.key() > last) continue;
        const bool workday = *it == CalendarKind::Workday;
        if (workday != IsWeekday(it.key())) count += workday ? 1 : -1;
    }
    return count;
}

QString CalendarKindText(CalendarKind kind) {
    return kind == CalendarKind::Workday ? QStringLiteral("调休上班") : QStringLiteral("节假日");
}

} // namespace kq
