#pragma once

#include "core/data/database.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>

namespace kq {

// One shift slot as the evaluation sees it. Slot 2k is the on-duty slot of shift k (column T2k),
// slot 2k+1 its off-duty slot (column T2k+1).
struct TBaseInfo {
    QString ShiftName;
    QTime OwnTime;   // on-duty: BeginTime; off-duty: EndTime
    QTime OtherTime; // on-duty: EndTime; off-duty: BeginTime
    bool Marked = false;
    bool Accumulate = false;
    bool Overnight = false;
    // On-duty: the shift's late grace; off-duty: its early grace. A punch within it is neither
    // late nor early; beyond it the time counts from OwnTime all the same.
    int GraceSeconds = 0;

    QTime beginTime(int slot) const { return slot % 2 == 0 ? OwnTime : OtherTime; }
    QTime endTime(int slot) const { return slot % 2 == 0 ? OtherTime : OwnTime; }
};

// The slot that carries a shift's worked time: the query and correction windows show it on the
// on-duty slot, the statistics sum it on the off-duty slot.
enum class AccumulateOn { OnDuty, OffDuty };

// Reads ShiftTime.dat in ascending SerialNo order; two entries per shift. Throws KqError.
QList<TBaseInfo> BuildSlotTable(AccumulateOn side);

// Late arrival at an on-duty time and early departure at an off-duty time. A time of 00:00:00
// (or a null time) is no punch. The comparisons are strict exactly where written so: for an
// ordinary shift an on-duty punch at endTime is late and an off-duty punch at beginTime early.
bool IsLate(bool overnight, const QTime& time, const QTime& beginTime, const QTime& endTime);
bool IsEarly(bool overnight, const QTime& time, const QTime& beginTime, const QTime& endTime);

// Whether a slot's cell shows red: the slot is marked and its time passes the slot's test,
// beyond the slot's grace.
bool IsMarkedTime(const TBaseInfo& info, int slot, const QTime& time);

struct TSlotTotals {
    qint32 LateCount = 0;
    double LateSeconds = 0;
    qint32 EarlyCount = 0;
    double EarlySeconds = 0;
    double WorkedSeconds = 0;
};

// The time columns of one row; an invalid QTime is an empty (null) column.
using SlotTimes = std::array<QTime, kSlotCount>;

// A stored time text "hh:mm:ss" (or "h:m[:s]"); invalid for empty or unreadable text.
QTime ParseStoredTime(const QString& text);
QTime ParseStoredTime(QByteArrayView utf8);

// Adds one row to totals (sized like slotTable). Late and early tests take a null or 00:00:00 time as
// no punch; the worked time needs both columns of the shift non-empty, so 00:00:00 counts there.
void EvaluateRow(const QList<TBaseInfo>& slotTable, const SlotTimes& times, QList<TSlotTotals>& totals);

// "周日" … "周六".
QString DayOfWeek(const QDate& date);

// The totals list of the query window: per marked slot a late or early line, per slot carrying
// Accumulate a worked-time line.
QStringList TotalsLines(const QList<TBaseInfo>& slotTable, const QList<TSlotTotals>& totals);

} // namespace kq
