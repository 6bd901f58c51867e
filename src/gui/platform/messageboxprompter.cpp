#include "gui/platform/messageboxprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace kq {

namespace {

QMessageBox::Icon BoxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Error:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::Information;
}

int Run(QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    // The standard captions are English unless a translation is installed; the boxes speak Chinese.
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Ok, QStringLiteral("确定")},
        {QMessageBox::Cancel, QStringLiteral("取消")},
        {QMessageBox::Yes, QStringLiteral("是(&Y)")},
        {QMessageBox::No, QStringLiteral("否(&N)")}};
    for (const auto& [button, caption] : captions)
        if (QAbstractButton* b = box.button(button)) b->setText(caption);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

void MessageBoxPrompter::message(const QString& title, const QString& text, Icon icon) {
    Run(BoxIcon(icon), title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxPrompter::ask(const QString& title, const QString& text) {
    return Run(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool MessageBoxPrompter::confirm(const QString& title, const QString& text) {
    return Run(QMessageBox::Information, title, text, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok) == QMessageBox::Ok;
}

void MessageBoxPrompter::error(const QString& text) {
    // The program's name titles the boxes of the general error handler.
    Run(QMessageBox::Critical, QStringLiteral("考勤管理系统"), text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace kq
