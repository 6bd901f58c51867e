#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace kq::test {

// The child of w with the given object name; a test failure when there is none.
template <typename T> T* Child(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Clicks the button of w with the given object name, or triggers its action of that name, as the
// user would: a disabled one does nothing.
inline void Click(QWidget* w, const char* name) {
    if (auto* button = w->findChild<QAbstractButton*>(QLatin1String(name))) {
        button->click();
        return;
    }
    QAction* action = w->findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

// Runs the timer of w with the given object name once, as if its interval had passed.
inline void Tick(QWidget* w, const char* name) {
    QTimer* timer = w->findChild<QTimer*>(QLatin1String(name));
    ASSERT_NE(timer, nullptr) << name;
    QMetaObject::invokeMethod(timer, "timeout");
}

} // namespace kq::test
