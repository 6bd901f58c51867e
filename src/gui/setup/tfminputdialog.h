// Window TfmInputDialog: asks for one line of text.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QDialog>
#include <optional>

class QLineEdit;

namespace kq {

// Asks for one line of text in a modal TfmInputDialog with the given caption and label, the
// edit box preset with defaultText and limited to width GBK bytes. No value when the dialog is
// cancelled.
std::optional<QString> InputName(const QString& caption, const QString& label, const QString& defaultText,
                                 int width, QWidget* parent = nullptr);

class TfmInputDialog : public QDialog {
    Q_OBJECT
public:
    TfmInputDialog(const QString& caption, const QString& label, const QString& defaultText, int width,
                   QWidget* parent = nullptr);

    QLineEdit* edit1() const { return m_edit1; }
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_edit1;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
