#pragma once

#include <QByteArray>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>

namespace kq::test {

// The child of w with the given object name; a test failure when there is none.
template <typename T> T* Child(QWidget* w, const char* name) {
    T* child = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// The bytes of a file; empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace kq::test
