#pragma once

#include "core/data/dataset.h"

#include <optional>

namespace kq {

// Widths in GBK bytes of the text fields that operators type. Entry boxes and the command line
// refuse longer values, since storing cuts a text to its field's width (a cut name would merge
// two people, a cut password would lock its operator out). Password is the limit of a typed
// password; the field itself holds its hash, StoredPassword bytes wide.
namespace FieldWidth {
constexpr int SName = 15;
constexpr int Password = 10;
constexpr int StoredPassword = 128;
constexpr int CardNo = 45;
constexpr int DeptName = 20;
constexpr int ReasonName = 20;
constexpr int ShiftName = 30;
constexpr int CompanyName = 40;
constexpr int DayName = 20; // a calendar day's name
} // namespace FieldWidth

// The refusal of text typed for a field of width bytes, titled what: nothing when it fits.
std::optional<QString> TooWide(const QString& what, const QString& text, int width);

// Field lists of the dataset files that programs write whole (test fixtures, generators).
QList<FieldDef> EmployeeFields();
QList<FieldDef> ShiftTimeFields();
// The grace minutes of a shift (LateGrace, EarlyGrace), added to ShiftTime.dat after its first
// layout: a file or row without them reads 0 (DataSet::addFields).
QList<FieldDef> ShiftGraceFields();

} // namespace kq
