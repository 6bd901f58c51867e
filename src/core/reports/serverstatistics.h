#pragma once

#include "core/reports/evaluation.h"
#include "core/reports/records.h"

namespace kq {

// The statistics' sums per name worked out on the server in one grouped pass, so that the rows of
// a year need not cross the network: the rules of EvaluateRow and the reason counts, written in
// SQL over the seconds the server keeps for slot times stored in the form "hh:nn:ss" (see
// StoredTimeSeconds; null and empty are no time). A row holding any
// other text in a slot (the server's column Unreadable) is left out and read by the program
// (LeftoverRowsStatement), as ParseStoredTime reads it, so the totals are those of the program's
// own pass. Whole seconds
// add up exactly in either.

// Name; per slot of slotTable: when marked, its late (on-duty) or early (off-duty) count and
// seconds; when it accumulates, the worked seconds of its shift; then the count of each reason
// 1 … reasons. One row per name of the period from first to last ("yyyy-mm-dd").
SqlStatement ServerTotalsStatement(const QList<TBaseInfo>& slotTable, int reasons, const QString& first,
                                   const QString& last);

// The rows ServerTotalsStatement leaves out: Name, LeaveType and the slot columns of slotTable.
SqlStatement LeftoverRowsStatement(const QList<TBaseInfo>& slotTable, const QString& first,
                                   const QString& last);

} // namespace kq
