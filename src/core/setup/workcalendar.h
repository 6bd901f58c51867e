#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

namespace kq {

// A day of the calendar that differs from the week's rule: a holiday (节假日) or a day of the
// weekend that is worked (调休上班).
enum class CalendarKind { Holiday = 1, Workday = 2 };

struct CalendarDay {
    QDate date;
    CalendarKind kind = CalendarKind::Holiday;
    QString name; // "国庆节", "春节调休"; may be empty
};

// The calendar's entries (table WorkCalendar) by date; all of them, or those from first to last
// when both are valid. Throws KqError.
QList<CalendarDay> ReadCalendar(const QDate& first = {}, const QDate& last = {});
// Stores day as the entry of its date, replacing an entry the date had. Throws KqError.
void SetCalendarDay(const CalendarDay& day);
// Removes the entry of date; false when it had none. Throws KqError.
bool DeleteCalendarDay(const QDate& date);

// The refusal of a day's name wider than its field; empty when it fits.
QString CheckCalendarName(const QString& name);

// Which days are to be worked: Monday to Friday, less the holidays, plus the make-up workdays.
// An empty calendar is the plain week.
class WorkCalendar {
public:
    WorkCalendar() = default;
    explicit WorkCalendar(const QList<CalendarDay>& days);
    // The calendar as stored. Throws KqError.
    static WorkCalendar Read();

    bool isWorkday(const QDate& date) const;
    // The workdays from first to last, both included; 0 when first lies after last.
    int workDayCount(const QDate& first, const QDate& last) const;

private:
    QHash<QDate, CalendarKind> m_days;
};

// "节假日" or "调休上班".
QString CalendarKindText(CalendarKind kind);

} // namespace kq
