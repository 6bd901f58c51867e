// Window TfmLogin: "请输入密码", operator sign-in and password change.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace kq {

enum LogonMode { LogonSignIn = 0, LogonChangePassword = 1 };

// Signs an operator in (page "Logon") or changes the signed-in operator's password (page
// "ModiPwd"). Returns whether the sign-in or the change succeeded.
bool OperatorLogon(LogonMode mode, QWidget* parent = nullptr);

class TfmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfmLogin(LogonMode mode, QWidget* parent = nullptr);

    // Fills the operator names and preselects the last operator signed in.
    void FormShow();
    void CBNameChange();
    // "确定": closes the window, unless the new password and its confirmation differ.
    void BitBtnComfirmClick();
    // After "确定": signs in or changes the password with what was typed; the result of
    // OperatorLogon. Storage failures throw KqError.
    bool Apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool SignInTyped();
    bool ChangeTypedPassword();

    LogonMode m_mode;
    QStackedWidget* m_notebook1;
    QComboBox* m_cbName;
    QLineEdit* m_editPwd;
    QLineEdit* m_edtOldPwd;
    QLineEdit* m_editNewPwd;
    QLineEdit* m_editNewPwdConfirm;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
