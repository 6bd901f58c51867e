#pragma once

#include "gui/setup/numberedlistwindow.h"

namespace kq {

// The departments of Department.dat, numbered 1..n by ID.
class TfmSetDepartment : public NumberedListWindow {
    Q_OBJECT
public:
    explicit TfmSetDepartment(QWidget* parent = nullptr);
};

// Runs the departments window modally.
void EditDepartments(QWidget* parent = nullptr);

} // namespace kq
