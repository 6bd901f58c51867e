#pragma once

#include <QLineEdit>

namespace kq {

// A field whose characters show as "*" (the style's own mask character may be a bullet).
inline void EchoAsStars(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

} // namespace kq
