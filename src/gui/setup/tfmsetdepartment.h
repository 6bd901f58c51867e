// Window TfmSetDepartment: "设置部门名称", the departments list (from 人员设置).
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
