#pragma once

#include <QComboBox>

namespace kq {

// A combo box that reports when its list drops down and when it closes again.
class DropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void droppedDown();
    void closedUp();
};

} // namespace kq
