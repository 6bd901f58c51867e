// Window TfmAbout: "关于", the about box.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QDialog>

namespace kq {

// The about box: the product's name and version, the data folder in use and an OK button.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);

private:
    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
