#pragma once

#include "core/reports/recordcolumns.h"
#include "core/reports/records.h"
#include "core/reports/tablewriter.h"
#include "core/setup/workcalendar.h"

#include <functional>
#include <memory>
#include <vector>

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

// The first rows of the filter (at most limit of them) as the record grid shows them, read in
// snapshot (the table as it is now when null).
QList<QStringList> RecordRows(const RecordColumns& columns, const RecordFilter& filter,
                              std::shared_ptr<WorkListReader> snapshot, int limit);

// The columns of a row (as RecordRows gives it) whose times are late or early: the grid's red cells.
QList<int> MarkedColumns(const RecordColumns& columns, const QStringList& row);

// The query's spreadsheet written into each of writers while the rows of filter are read in
// snapshot, one at a time: the line "===name考勤统计===", the grid's titles, its rows with their
// red cells, the totals lines below. each, when given, also gets every row. When a writer fails,
// the rows still go on to each (reading stops without it), no writer is finished (none leaves a
// file) and the writer's KqError is thrown after the last row read. Returns the rows read.
int WriteQueryTable(const RecordColumns& columns, const RecordFilter& filter,
                    std::shared_ptr<WorkListReader> snapshot, const QString& name,
                    const QStringList& totalsLines, const std::vector<TableWriter*>& writers,
                    const std::function<void(const QStringList& row)>& each = {});

// The data folder's file for a person's query: name followed by "考勤表.XLS". Characters that
// cannot stand in a file name (path separators among them) become "_", so the file always
// lands in the data folder.
QString QueryXlsFileName(const QString& name);

} // namespace kq
