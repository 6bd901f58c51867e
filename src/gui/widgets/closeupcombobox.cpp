#include "gui/widgets/closeupcombobox.h"

namespace kq {

void CloseUpComboBox::hidePopup() {
    QComboBox::hidePopup();
    QMetaObject::invokeMethod(this, &CloseUpComboBox::closedUp, Qt::QueuedConnection);
}

} // namespace kq
