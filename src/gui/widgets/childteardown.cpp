#include "gui/widgets/childteardown.h"

#include <QWidget>

namespace kq {

ChildTeardown::~ChildTeardown() {
    const QList<QObject*> descendants = m_window->findChildren<QObject*>();
    for (QObject* child : descendants) {
        QObject::disconnect(child, nullptr, m_window, nullptr);
        child->removeEventFilter(m_window);
    }
    // Deleting one child may delete others, so the list is read afresh each time.
    while (QWidget* child = m_window->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
}

} // namespace kq
