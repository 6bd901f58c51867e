#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace kq::test {

// Hands the next modal dialog of class D to act once its event loop runs; act closes it.
template <typename D> void OnNextModal(std::function<void(D*)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) return act(d);
        ADD_FAILURE() << "no modal dialog of the expected class is showing";
    });
}

} // namespace kq::test
