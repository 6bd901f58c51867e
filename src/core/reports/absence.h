#pragma once

#include "core/setup/workcalendar.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <memory>

namespace kq {

class WorkListReader;

// Whether the attendance does not concern an employee: an operator without a card cannot punch,
// so none of the shifts applies to that person, who is never counted absent.
bool IsOperatorOnly(bool isOperator, const QString& cardNo);

// The absent days of each of names from first to last: the workdays of the calendar, none after
// today, on which no row of the name holds a punch (a time other than 00:00:00) or an absence
// reason (LeaveType 1 … reasonCount). Names compare exactly, as the records' queries do. Reads
// through snapshot when given (the totals beside a grid read what the grid shows). Throws KqError.
QHash<QString, int> CountAbsentDays(const QSet<QString>& names, const WorkCalendar& calendar,
                                    const QDate& first, const QDate& last, const QDate& today,
                                    int reasonCount, std::shared_ptr<WorkListReader> snapshot = {});

// The line of the query's totals list: "缺勤天数：" and the count.
QString AbsentDaysLine(int days);

} // namespace kq
