#pragma once

#include <QDialog>

namespace kq {

// The about box: the product's name and version and an OK button.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);
};

} // namespace kq
