#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace kq::test {

// Drives a modal window without a person: once an exec() loop shows a modal window of class T,
// action runs on it (and must close it). Arm it before the call that runs the window. Fails the
// test when no such window shows within about two seconds.
template <typename T> void WhenModal(std::function<void(T*)> action, int triesLeft = 200) {
    QTimer::singleShot(10, [action, triesLeft] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            action(w);
        } else if (triesLeft > 0) {
            WhenModal<T>(action, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " was shown";
        }
    });
}

} // namespace kq::test
