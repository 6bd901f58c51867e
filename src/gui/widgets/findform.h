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

// Shows the one window of class T, creating it (owned by owner) when none is alive.
template <typename T> T* ShowSingle(QWidget* owner) {
    T* form = FindForm<T>();
    if (!form) form = new T(owner);
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

} // namespace kq
