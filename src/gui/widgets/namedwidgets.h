#pragma once

#include <QLatin1String>
#include <QPushButton>

namespace kq {

// Gives a control its designer name, by which tests and styles find it.
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A named push button that Enter in a field never presses (it is no dialog's automatic default).
inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    return button;
}

} // namespace kq
