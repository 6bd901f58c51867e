#pragma once

#include "core/reports/evaluation.h"

#include <QDate>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

namespace kq {

class WorkListReader;

// Which attendance rows the record grid shows: the whole table, or the rows of a period, of one
// name or of everybody. Rows always come by date, then by name, then in the order they were added.
struct RecordFilter {
    bool wholeTable = true;
    QString name; // empty: everybody of the period
    QDate first;
    QDate last;

    static RecordFilter Period(const QString& name, const QDate& first, const QDate& last) {
        return {false, name, first, last};
    }
};

// Fields of the record query, in this order.
enum RecordField {
    FieldDate = 0,
    FieldName = 1,
    FieldT0 = 2,
    FieldLeaveType = 22,
    FieldComment = 23,
    FieldISn = 24
};

struct SqlStatement {
    QString sql;
    QVariantList values;
};

// The record query: DDate, Name, T0 … T19, LeaveType, Comment, ISn of the filter's rows.
SqlStatement RecordStatement(const RecordFilter& filter);

// Where a row stands in the order of the record query; ISn makes it unique.
struct RecordKey {
    QVariant date; // DDate, may be null
    QVariant name; // Name, may be null
    qint64 isn = 0;
};

// Where a page of the record query starts: after key (from the first row without one), or,
// backwards, before key (from the last row without one), skip rows further on.
struct PageStart {
    const RecordKey* key = nullptr;
    bool backwards = false;
    int skip = 0;
};
// At most count rows of the record query from where the page starts, in the direction it reads.
SqlStatement RecordPageStatement(const RecordFilter& filter, const PageStart& from, int count);
// The number of rows of the record query.
SqlStatement RecordCountStatement(const RecordFilter& filter);
// Counts that add up to RecordCountStatement's, each over a stretch of dates in the order of the
// query (the rows without a date first), so that a long count can be taken a piece at a time.
// from and to bound the stretches (the filter's period, or the first and last date of the table
// for the whole table); without valid bounds there is one piece for all dated rows.
QList<SqlStatement> RecordCountPieces(const RecordFilter& filter, const QDate& from, const QDate& to);
// The first and last date of the table (min and max of DDate).
SqlStatement DateRangeStatement();
// Gives name a row for every date from first to last that has none; one lookup of the existing
// dates and all inserts in one transaction. Nothing when first lies after last. Names compare
// exactly, as in the grid's query, so that a name differing only in letter case from another
// still gets every date of the period shown.
void CompletePeriod(const QString& name, const QDate& first, const QDate& last);

// Totals of the filter's rows, evaluated first to last, read in snapshot (the table as it is now
// when null).
QList<TSlotTotals> EvaluateRecords(const QList<TBaseInfo>& slotTable, const RecordFilter& filter,
                                   std::shared_ptr<WorkListReader> snapshot = nullptr);

} // namespace kq
