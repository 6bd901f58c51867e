#include "gui/setup/tfminputdialog.h"
#include "gui/platform/guarded.h"

#include "gui/widgets/dialogbuttons.h"
#include "gui/widgets/gbkwidthvalidator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kq {

std::optional<QString> InputName(const QString& caption, const QString& label, const QString& defaultText,
                                 int width, QWidget* parent) {
    TfmInputDialog form(caption, label, defaultText, width, parent);
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return form.edit1()->text();
}

TfmInputDialog::TfmInputDialog(const QString& caption, const QString& label, const QString& defaultText,
                               int width, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fmInputDialog"));
    setWindowTitle(caption);
    auto* label1 = new QLabel(label, this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_edit1 = new QLineEdit(defaultText, this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    LimitToWidth(m_edit1, width);
    const DialogButtons buttons = MakeDialogButtons(this, "SeSkinButton2", "SeSkinButton1");
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_edit1);
    layout->addLayout(ButtonRow(buttons));
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
}

void TfmInputDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TfmInputDialog::FormShow() {
    m_edit1->setFocus();
}

} // namespace kq
