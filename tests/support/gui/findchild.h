#pragma once

#include <QWidget>
#include <gtest/gtest.h>

namespace kq::test {

// The child of w with the given object name; a test failure when there is none.
template <typename T> T* Child(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

} // namespace kq::test
