#pragma once

#include <QApplication>
#include <QWidget>

namespace kq {

// True when window w is alive and its class is exactly T (a subclass does not count). Only
// live windows are compared, so a pointer that still names a freed window yields false.
template <typename T> bool FormExists(const QWidget* w) {
    if (!w) return false;
    for (QWidget* live : QApplication::topLevelWidgets())
        if (live == w) return live->metaObject() == &T::staticMetaObject;
    return false;
}

} // namespace kq
