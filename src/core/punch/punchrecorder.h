#pragma once

#include "core/punch/brushinfo.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace kq {

// The sounds of a punch.
enum BrushBeepKind { BeepConfirm = 0, BeepAlarm = 1 };

enum class PunchOutcome { Stored, UnknownCard, AlreadyPunched, NoShift };

struct PunchResult {
    PunchOutcome outcome = PunchOutcome::UnknownCard;
    QString line; // the line the punch screen shows
    int beepKind = BeepAlarm;
    bool stored() const { return outcome == PunchOutcome::Stored; }
};

// Records one swipe of card (already trimmed, not empty) into slot at now: finds the card in
// Employee.dat ignoring case, works out the attendance date, and updates or inserts the
// employee's row of that date in WorkList. The write is committed durably before this returns;
// a storage failure throws KqError and leaves nothing written. An empty shift list refuses a
// registered card without writing; a slot outside the shift list throws KqError.
// With doubleSwipeSeconds above 0, a swipe that follows a stored punch of the same person by
// less than that many seconds is refused as already punched (naming the earlier punch's slot),
// whatever slot is selected.
PunchResult RecordPunch(const QString& card, const QList<TBrushInfo>& brushInfo, int slot,
                        const QDateTime& now, int doubleSwipeSeconds = 0);

// Plays the confirm tone (4000 Hz, 400 ms) or the alarm (five 150 ms tones alternating
// 1000 and 2000 Hz) on the speaker of the platform services when isBeep is set.
void BrushBeep(int kind, bool isBeep);

} // namespace kq
