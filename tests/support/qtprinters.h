#pragma once

// Readable failure messages for Qt values in GoogleTest assertions.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* os) {
    *os << value.typeName() << '(' << value.toString().toStdString() << ')';
}
