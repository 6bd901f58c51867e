#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kq {

// Room left around a window for the frame a window manager draws (title bar and borders), while
// the real frame is not known yet.
inline QMargins FrameAllowance() {
    return QMargins(4, 30, 4, 4);
}

// The screen a window shows on.
inline const QScreen* WindowScreen(const QWidget* w) {
    return w->screen() ? w->screen() : QGuiApplication::primaryScreen();
}

// Places a window in the middle of its screen's available area.
inline void CenterOnScreen(QWidget* w) {
    const QScreen* screen = WindowScreen(w);
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

// Gives a window its designed size, or less where the screen's available area (less the frame)
// is smaller, as on a small screen or at a large scale factor, and centres it there. A window's
// position is that of its frame.
inline void FitOnScreen(QWidget* w, const QSize& designed) {
    const QScreen* screen = WindowScreen(w);
    if (!screen) {
        w->resize(designed);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QMargins frame = FrameAllowance();
    const QSize room = area.size().shrunkBy(frame);
    // Never below what the window's layout needs.
    const QSize size = designed.expandedTo(w->minimumSizeHint()).boundedTo(room);
    w->resize(size);
    w->move(area.topLeft() + QPoint((room.width() - size.width()) / 2, (room.height() - size.height()) / 2));
}

} // namespace kq
