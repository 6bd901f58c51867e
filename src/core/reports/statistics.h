#pragma once

#include "core/reports/evaluation.h"
#include "core/reports/leavereasons.h"
#include "core/reports/tablewriter.h"
#include "core/setup/workcalendar.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

namespace kq {

class WorkListReader;

// The statistics' count of one absence reason for the current employee.
struct TLeaveType {
    QString Name;
    qint32 Count = 0;
};

// The columns of the statistics table: "工号", "姓名", "部门"; per shift its late columns when it
// marks lateness, its early columns when it marks early departures, its accumulated time when it
// counts it; a count per reason; "应出勤天数"; "缺勤天数" (filled by AppendAbsentDays). slotTable carries
// Accumulate on the off-duty slots.
QStringList StatColumns(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons);
// What each of those columns holds: the work number, counts and days as numbers, the times as
// durations, the names as text.
QList<CellKind> StatColumnKinds(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons);

// An employee as the statistics list them.
struct StatEmployee {
    QString WorkNo;
    QString Name;
    QString DeptName;
    bool OperatorOnly = false; // never counted absent (IsOperatorOnly)
};

// Employee.dat in Dept order, each with the name of its department (empty when none matches).
QList<StatEmployee> StatEmployees();

// Reports how far a computation is: done of total steps.
using Progress = std::function<void(qint64 done, qint64 total)>;

// One line per employee for the period from first to last: work number, name, department, the
// cells of StatColumns (empty for a zero count or duration) and days. Rows of a name count for
// every employee of that name; a LeaveType outside 1 … reasons is not counted. Reads the
// period's rows in one pass of the date index (on the server, the sums per name it works out in
// one grouped pass, see serverstatistics.h), through reader (a connection of its own when none is
// given; a pass on another thread opens it beforehand on the application's).
QList<QStringList> ComputeStatistics(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons,
                                     const QList<StatEmployee>& employees, const QDate& first,
                                     const QDate& last, int days, const Progress& progress = {},
                                     std::shared_ptr<WorkListReader> reader = {});

// "缺勤天数", the last of StatColumns.
QString AbsentDaysTitle();

// Adds to each of lines (ComputeStatistics' lines, one per employee in the same order) the
// employee's absent days from first to last (CountAbsentDays): empty for none and for an
// operator-only employee. Reads through reader, as ComputeStatistics does. Throws KqError.
void AppendAbsentDays(QList<QStringList>& lines, const QList<StatEmployee>& employees,
                      const WorkCalendar& calendar, const QDate& first, const QDate& last, const QDate& today,
                      int reasonCount, std::shared_ptr<WorkListReader> reader = {});

// "统计时间：从yyyy-mm-dd到yyyy-mm-dd".
QString StatPeriodLine(const QDate& first, const QDate& last);

// The statistics' spreadsheet: the line "《company考勤统计表      periodLine》" above the table.
XlsTable StatXlsTable(const QString& company, const QString& periodLine, const QStringList& columns,
                      const QList<CellKind>& kinds, const QList<QStringList>& lines);

// The data folder's "考勤统计表.XLS".
QString StatXlsFileName();

} // namespace kq
