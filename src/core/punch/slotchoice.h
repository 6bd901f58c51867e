#pragma once

#include "core/punch/brushinfo.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kq {

// One row of the slot table: a slot label and its shift time as "hh:nn:ss".
struct TSlotTime {
    QString ShiftName;
    QString STime;
};

// Two rows per shift (begin time for the on-duty label, end time for the off-duty label),
// ascending by time; rows with equal times keep the shift order.
QList<TSlotTime> BuildSlotTable(const QList<TBrushInfo>& brushInfo);

// The automatic slot choice at time of day now; returns the slot-list index to select, or
// current when neither pass selects anything.
//  Pass 1: the first shift whose begin (then end) time is at most 30 minutes from now, without
//          wrapping round midnight.
//  Pass 2 (overrides pass 1): the neighbouring slot times around now, walking the slot table
//          from its last row round to its first; the later one wins from half the gap on.
int AutoSelectSlot(const QList<TBrushInfo>& brushInfo, const QList<TSlotTime>& slotTable,
                   const QStringList& slotLabels, const QTime& now, int current);

} // namespace kq
