#pragma once

#include <QByteArray>
#include <QFile>
#include <gtest/gtest.h>

namespace kq::test {

// The bytes of a file; empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace kq::test
