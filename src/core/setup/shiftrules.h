#pragma once

#include <QString>
#include <QTime>

namespace kq {

class DataSet;

inline constexpr int kMaxShifts = 10;
// Late and early grace of a shift, in minutes: 0 (none) up to half a day.
inline constexpr int kMaxGraceMinutes = 720;

// The checks before a shift is stored, in their order; returns the refusal message or empty
// text when the shift may be stored. Texts are tested as typed (no trimming).
enum class ShiftField { None, Name, BeginTime, EndTime };
struct ShiftCheck {
    QString message;
    ShiftField focus = ShiftField::None;
};
ShiftCheck CheckShiftPost(const QString& name, const QString& beginText, const QString& endText, bool adding,
                          int shiftCount);

// Reads a typed time of day "hh:nn:ss"; a bare "h:n" gets ":00". Invalid when unreadable.
QTime ParseTimeText(const QString& text);
// The time of a typed text for the field named caption; throws KqError naming the field and the
// expected form when the text is no time of day.
QTime TimeFromText(const QString& text, const QString& caption);

// Starts a new shift in ds (the shift list ordered by SerialNo): SerialNo one past the last
// shift's (1 for an empty list), the three flags false, name and times empty. Not yet posted.
void AppendShift(DataSet& ds);
// Gives the shifts SerialNo 1, 2, 3, ... in their present order.
void RenumberShifts(DataSet& ds);

// What an operator sets of a shift (its SerialNo is kept by AppendShift and RenumberShifts).
struct ShiftValues {
    QString ShiftName;
    QTime BeginTime;
    QTime EndTime;
    bool CheckBegin = false;
    bool CheckEnd = false;
    bool IsCalculate = false;
    int LateGrace = 0;
    int EarlyGrace = 0;
};
// Stores shift in the row ds is appending or editing (opened with ShiftGraceFields) and posts it.
void StoreShift(DataSet& ds, const ShiftValues& shift);

} // namespace kq
