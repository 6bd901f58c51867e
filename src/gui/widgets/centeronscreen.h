#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kq {

// Places a window in the middle of its screen's available area.
inline void CenterOnScreen(QWidget* w) {
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

} // namespace kq
