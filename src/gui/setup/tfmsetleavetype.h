// Window TfmSetLeaveType: the absence reasons list (menu 未到原因).
#pragma once

#include "gui/setup/numberedlistwindow.h"

namespace kq {

// The absence reasons of BlankReson.dat, numbered 1..n by SerialNo. Shown without blocking and
// only hidden when closed.
class TfmSetLeaveType : public NumberedListWindow {
    Q_OBJECT
public:
    explicit TfmSetLeaveType(QWidget* parent = nullptr);
};

} // namespace kq
