#include "gui/shell/tfmlogin.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/firstrun.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/shell/logon.h"
#include "core/shell/operatorinfo.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/gbkwidthvalidator.h"
#include "gui/widgets/passwordecho.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace kq {

namespace {

const QString kTitle = QStringLiteral("提示");
const QString kNotConfirmed = QStringLiteral("两次输入的新密码不一致，请重新输入！");

QLineEdit* NewEdit(const char* name, bool hidden, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (hidden) EchoAsStars(edit);
    return edit;
}

} // namespace

bool OperatorLogon(LogonMode mode, QWidget* parent) {
    TfmLogin form(mode, parent);
    if (form.exec() != QDialog::Accepted) return false;
    bool done = false;
    Guarded([&] { done = form.Apply(); });
    return done;
}

TfmLogin::TfmLogin(LogonMode mode, QWidget* parent) : QDialog(parent), m_mode(mode) {
    setObjectName(QStringLiteral("fmLogin"));
    setWindowTitle(QStringLiteral("请输入密码"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(285, 169);

    auto* image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(style()->standardIcon(QStyle::SP_DialogYesButton).pixmap(48, 48));
    image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_notebook1 = new QStackedWidget(this);
    m_notebook1->setObjectName(QStringLiteral("Notebook1"));
    auto* logon = new QWidget(m_notebook1);
    logon->setObjectName(QStringLiteral("Logon"));
    auto* logonForm = new QFormLayout(logon);
    m_cbName = new QComboBox(logon);
    m_cbName->setObjectName(QStringLiteral("CBName"));
    m_editPwd = NewEdit("EditPwd", true, logon);
    logonForm->addRow(QStringLiteral("姓  名:"), m_cbName);
    logonForm->addRow(QStringLiteral("密  码:"), m_editPwd);
    auto* modiPwd = new QWidget(m_notebook1);
    modiPwd->setObjectName(QStringLiteral("ModiPwd"));
    auto* modiForm = new QFormLayout(modiPwd);
    m_edtOldPwd = NewEdit("EdtOldPwd", false, modiPwd);
    m_editNewPwd = NewEdit("EditNewPwd", true, modiPwd);
    m_editNewPwdConfirm = NewEdit("EditNewPwdConfirm", true, modiPwd);
    modiForm->addRow(QStringLiteral("原 密 码："), m_edtOldPwd);
    modiForm->addRow(QStringLiteral("新 密 码："), m_editNewPwd);
    modiForm->addRow(QStringLiteral("确认密码："), m_editNewPwdConfirm);
    // Passwords are stored in at most 10 bytes: no box takes more.
    for (QLineEdit* edit : {m_editPwd, m_edtOldPwd, m_editNewPwd, m_editNewPwdConfirm})
        LimitToWidth(edit, FieldWidth::Password);
    m_notebook1->addWidget(logon);
    m_notebook1->addWidget(modiPwd);
    m_notebook1->setCurrentWidget(mode == LogonSignIn ? logon : modiPwd);

    auto* hint =
        new QLabel(QStringLiteral("(管理员密码缺省为%1，请注意更改！)").arg(kDefaultAdminPassword), this);
    hint->setObjectName(QStringLiteral("LabelHint"));
    hint->setWordWrap(true);

    auto* confirm = NamedButton(this, "BitBtnComfirm", QStringLiteral("确定"));
    confirm->setDefault(true);
    auto* cancel = NamedButton(this, "BitBtnCancel", QStringLiteral("取消"));
    connect(confirm, &QPushButton::clicked, this, &TfmLogin::BitBtnComfirmClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cbName, &QComboBox::activated, this, &TfmLogin::CBNameChange);

    auto* top = new QHBoxLayout;
    top->addWidget(image1);
    top->addWidget(m_notebook1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(hint);
    layout->addLayout(buttons);
}

void TfmLogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TfmLogin::FormShow() {
    m_cbName->clear();
    Guarded([&] { m_cbName->addItems(OperatorNames()); });
    m_cbName->setCurrentIndex(m_cbName->findText(LoadLastOperator(), Qt::MatchFixedString));
    // On a fresh data folder the only operator is the one to sign in.
    if (m_cbName->currentIndex() < 0 && m_cbName->count() == 1) m_cbName->setCurrentIndex(0);
    if (m_mode == LogonSignIn)
        m_editPwd->setFocus();
    else
        m_edtOldPwd->setFocus();
}

void TfmLogin::CBNameChange() {
    m_editPwd->setFocus();
}

void TfmLogin::BitBtnComfirmClick() {
    if (m_mode == LogonChangePassword && m_editNewPwd->text() != m_editNewPwdConfirm->text()) {
        Prompt().message(kTitle, kNotConfirmed);
        m_editNewPwdConfirm->setFocus();
        m_editNewPwdConfirm->selectAll();
        return;
    }
    accept();
}

bool TfmLogin::Apply() {
    return m_mode == LogonSignIn ? SignInTyped() : ChangeTypedPassword();
}

bool TfmLogin::SignInTyped() {
    const QString name = m_cbName->currentText();
    if (!SignIn(name, m_editPwd->text())) {
        Prompt().message(kTitle, QStringLiteral("登陆失败！请检查用户名和密码。"));
        return false;
    }
    // The sign-in holds even when the name cannot be remembered for the next one.
    Guarded([&] { SaveLastOperator(name); });
    Prompt().message(kTitle, QStringLiteral("登陆成功！"));
    return true;
}

bool TfmLogin::ChangeTypedPassword() {
    switch (ChangePassword(CurOperator().Name, m_edtOldPwd->text(), m_editNewPwd->text(),
                           m_editNewPwdConfirm->text())) {
    case PasswordChange::Changed:
        return true;
    case PasswordChange::WrongPassword:
        Prompt().message(kTitle, QStringLiteral("原密码错误，密码未修改！"));
        return false;
    case PasswordChange::NotConfirmed:
        Prompt().message(kTitle, kNotConfirmed);
        return false;
    case PasswordChange::TooLong:
        Prompt().message(kTitle,
                         *TooWide(QStringLiteral("新密码"), m_editNewPwd->text(), FieldWidth::Password));
        return false;
    }
    return false;
}

} // namespace kq
