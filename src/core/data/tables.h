#pragma once

#include "data/dataset.h"

namespace kq {

// Field lists of the dataset files that programs write whole (test fixtures, generators).
QList<FieldDef> EmployeeFields();
QList<FieldDef> ShiftTimeFields();

} // namespace kq
