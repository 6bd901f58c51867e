#pragma once

#include <QApplication>
#include <QWidget>

namespace kq {

// The live window whose class is exactly T, or nullptr when there is none.
template <typename T> T* FindForm() {
    for (QWidget* live : QApplication::topLevelWidgets())
        if (live->metaObject() == &T::staticMetaObject) return static_cast<T*>(live);
    return nullptr;
}

} // namespace kq
