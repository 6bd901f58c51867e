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

// Writes bytes as the whole file; returns whether that succeeded.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace kq::test
