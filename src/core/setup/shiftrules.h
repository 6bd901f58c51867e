#pragma once

#include <QString>
#include <QTime>

namespace kq {

inline constexpr int kMaxShifts = 10;

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

} // namespace kq
