#pragma once

#include "core/punch/brushinfo.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

namespace kq {

// The sounds of a punch.
enum BrushBeepKind { BeepConfirm = 0, BeepAlarm = 1 };

// Identical: the slot already holds this very time (a batch skips such a swipe silently; a
// single swipe reports it as AlreadyPunched).
enum class PunchOutcome { Stored, UnknownCard, AlreadyPunched, NoShift, Identical };

struct PunchResult {
    PunchOutcome outcome = PunchOutcome::UnknownCard;
    QString line; // the line the punch screen shows
    int beepKind = BeepAlarm;
    QString name;  // the card holder; empty for an unknown card
    QString label; // the slot's label, when a slot was punched or refused
    bool stored() const { return outcome == PunchOutcome::Stored; }
};

// The punch screen's answer in large type: a first line (the name, or the number of an unknown
// card, so that the operator can register it) and a second (the time and slot of a stored punch,
// or why the swipe was refused).
struct PunchAnswer {
    QString first;
    QString second;
    bool stored = false; // green when stored, red otherwise
};
PunchAnswer AnswerOf(const PunchResult& result, const QString& card, const QDateTime& now);
// The answer to a swipe that failed with message.
PunchAnswer FailureAnswer(const QString& message);

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

// Swipes read from a terminal's log, recorded by the rules of RecordPunch (the card list is read
// once) in write transactions committed every batchSize swipes and by commit(). What is not
// committed when the batch is destroyed or a swipe throws is rolled back; batches committed
// before stay, and recording the same swipes again skips them as Identical.
class PunchBatch {
public:
    PunchBatch(const QList<TBrushInfo>& brushInfo, int doubleSwipeSeconds, int batchSize = 5000);
    ~PunchBatch();
    PunchBatch(const PunchBatch&) = delete;
    PunchBatch& operator=(const PunchBatch&) = delete;
    // A slot outside the shift list throws KqError, as RecordPunch does.
    PunchResult add(const QString& card, int slot, const QDateTime& now);
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Plays the confirm tone (4000 Hz, 400 ms) or the alarm (five 150 ms tones alternating
// 1000 and 2000 Hz) on the speaker of the platform services when isBeep is set.
void BrushBeep(int kind, bool isBeep);

} // namespace kq
