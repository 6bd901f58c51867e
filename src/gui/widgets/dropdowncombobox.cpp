#include "gui/widgets/dropdowncombobox.h"

namespace kq {

void DropDownComboBox::showPopup() {
    Q_EMIT droppedDown();
    QComboBox::showPopup();
}

void DropDownComboBox::hidePopup() {
    QComboBox::hidePopup();
    Q_EMIT closedUp();
}

} // namespace kq
