#pragma once

#include "core/reports/recordcolumns.h"
#include "core/reports/records.h"
#include "core/reports/tablewriter.h"
#include "core/reports/xlswriter.h"
#include "core/setup/workcalendar.h"

#include <functional>
#include <memory>

namespace kq {

class WorkListReader;

// The first step of the query's refresh: a given name (blanks count as a name) gets a row for
// every date of the period.
void CompleteRecords(const RecordFilter& filter);

// The query's refresh: CompleteRecords, then the filter's rows are evaluated. Returns the totals
// per slot.
QList<TSlotTotals> RefreshRecords(const QList<TBaseInfo>& slotTable, const RecordFilter& filter);

// The absent days (CountAbsentDays) of the filter's person over its period, or of every employee
// together when it names nobody: employees of Employee.dat only, operator-only ones left out. Reads
// in snapshot when given. Throws KqError.
int QueryAbsentDays(const RecordFilter& filter, const WorkCalendar& calendar, const QDate& today,
                    int reasonCount, std::shared_ptr<WorkListReader> snapshot = nullptr);

// Hands each row of the filter, as the record grid shows it, to take, reading in snapshot (the
// table as it is now when null); take returns false to stop. Holds one row at a time.
void ForEachRecordRow(const RecordColumns& columns, const RecordFilter& filter,
                      std::shared_ptr<WorkListReader> snapshot,
                      const std::function<bool(const QStringList& row)>& take);

// The rows of the filter as the record grid shows it, read in snapshot (the table as it is now
// when null), at most limit of them: an export does not hold more rows than a sheet can take
// (the writer refuses a table longer than that).
QList<QStringList> RecordRows(const RecordColumns& columns, const RecordFilter& filter,
                              std::shared_ptr<WorkListReader> snapshot = nullptr, int limit = kXlsMaxRows);

// The columns of a row (as RecordRows gives it) whose times are late or early: the grid's red cells.
QList<int> MarkedColumns(const RecordColumns& columns, const QStringList& row);

// The query's spreadsheet: the line "===name考勤统计===", the grid's titles and rows, the
// totals lines below.
XlsTable QueryXlsTable(const RecordColumns& columns, QList<QStringList> rows, const QString& name,
                       const QStringList& totalsLines);

// The data folder's file for a person's query: name followed by "考勤表.XLS". Characters that
// cannot stand in a file name (path separators among them) become "_", so the file always
// lands in the data folder.
QString QueryXlsFileName(const QString& name);

} // namespace kq
