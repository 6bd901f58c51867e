#pragma once

#include <QComboBox>

namespace kq {

// A combo box that reports each closing of its drop-down list, whether an entry was picked or
// not. The report comes once the pick has been applied, so currentIndex() is the new entry.
class CloseUpComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void hidePopup() override;

Q_SIGNALS:
    void closedUp();
};

} // namespace kq
