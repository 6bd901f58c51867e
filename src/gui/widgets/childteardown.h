#pragma once

class QWidget;

namespace kq {

// The last member of every window, so destroyed first: it takes the window's child widgets down
// while the window and all its other members are still whole. Qt would otherwise hide and delete
// them only in QWidget's destructor, after the window's own destructor and its members are gone,
// and a child that emits or asks its model while it goes (a combo box closing its list, an editor
// losing focus, a grid reading its header) would reach a slot, an event filter or a data set of a
// half-destroyed window. Their connections to the window and the window's event filters on them
// are cut first, so nothing of the window runs while they go.
class ChildTeardown {
public:
    explicit ChildTeardown(QWidget* window) : m_window(window) {}
    ~ChildTeardown();
    ChildTeardown(const ChildTeardown&) = delete;
    ChildTeardown& operator=(const ChildTeardown&) = delete;

private:
    QWidget* m_window;
};

} // namespace kq
