#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/shared.h"
#include "core/shell/operatorinfo.h"
#include "core/shell/password.h"
#include "gui/shell/tfmlogin.h"
#include "gui/shell/tfmmain.h"
#include "support/gui/findchild.h"
#include "support/gui/modaldriver.h"
#include "support/tempdata.h"
#include "support/testhelpers.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <gtest/gtest.h>

using namespace kq;

namespace {

using test::Child;

void Type(QWidget* w, const char* name, const QString& text) {
    Child<QLineEdit>(w, name)->setText(text);
}

// Signs in through the window the next exec() shows.
void WhenSignIn(const QString& name, const QString& password) {
    test::WhenModal<TfmLogin>([name, password](TfmLogin* f) {
        auto* cb = Child<QComboBox>(f, "CBName");
        cb->setCurrentIndex(cb->findText(name));
        Type(f, "EditPwd", password);
        test::Click(f, "BitBtnComfirm");
    });
}

// Changes the password through the window the next exec() shows.
void WhenChangePassword(const QString& oldPassword, const QString& newPassword) {
    test::WhenModal<TfmLogin>([=](TfmLogin* f) {
        EXPECT_EQ(Child<QStackedWidget>(f, "Notebook1")->currentWidget()->objectName(), "ModiPwd");
        Type(f, "EdtOldPwd", oldPassword);
        Type(f, "EditNewPwd", newPassword);
        Type(f, "EditNewPwdConfirm", newPassword);
        test::Click(f, "BitBtnComfirm");
    });
}

bool Enabled(TfmMain& w, const char* action) {
    return w.findChild<QAction*>(QLatin1String(action))->isEnabled();
}

QString StoredPassword(const QString& name) {
    DataSet ds;
    ds.open(DataFile("Employee.dat"));
    return ds.locate("SName", {name}) ? ds.asString("Password") : QString();
}

// Whether the file holds the password of operator name as a hash.
bool HoldsHashOf(const QString& name, const QString& password) {
    const QString stored = StoredPassword(name);
    return IsPasswordHash(stored) && VerifyPassword(stored, password);
}

} // namespace

class LoginTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        writeEmployees({{"管理员", true, "8888", 1, 0, 0, ""},
                        {"Worker", false, "w", 1, 0, 0, "c1"},
                        {"Clerk", true, "Pw", 4, 0, 0, ""}});
    }
};

TEST_F(LoginTest, WindowOffersOperatorsAndPreselectsTheLastOne) {
    SaveLastOperator("");
    TfmLogin f(LogonSignIn);
    f.show();
    auto* cb = Child<QComboBox>(&f, "CBName");
    ASSERT_EQ(cb->count(), 2);
    EXPECT_EQ(cb->itemText(0), "管理员");
    EXPECT_EQ(cb->itemText(1), "Clerk");
    EXPECT_EQ(cb->currentIndex(), -1);
    EXPECT_EQ(f.windowTitle(), "请输入密码");
    EXPECT_EQ(Child<QLabel>(&f, "LabelHint")->text(), "(管理员密码缺省为8888，请注意更改！)");
    EXPECT_EQ(Child<QStackedWidget>(&f, "Notebook1")->currentWidget()->objectName(), "Logon");
    // The password boxes show "*" for each character, the old password plain text.
    for (const char* name : {"EditPwd", "EditNewPwd", "EditNewPwdConfirm"}) {
        auto* edit = Child<QLineEdit>(&f, name);
        edit->setText("ab1");
        EXPECT_EQ(edit->displayText(), "***") << name;
    }
    Child<QLineEdit>(&f, "EdtOldPwd")->setText("ab1");
    EXPECT_EQ(Child<QLineEdit>(&f, "EdtOldPwd")->displayText(), "ab1");

    SaveLastOperator("clerk");
    f.hide();
    f.show();
    EXPECT_EQ(cb->count(), 2);
    EXPECT_EQ(cb->currentText(), "Clerk");
    SaveLastOperator("Worker"); // not an operator: not offered
    f.hide();
    f.show();
    EXPECT_EQ(cb->currentIndex(), -1);
}

TEST_F(LoginTest, TheOnlyOperatorIsPreselected) {
    writeEmployees({{"管理员", true, "8888", 1, 0, 0, ""}, {"Worker", false, "w", 1, 0, 0, "c1"}});
    for (const QString& last : {QString(), QStringLiteral("Gone")}) {
        SaveLastOperator(last);
        TfmLogin f(LogonSignIn);
        f.show();
        EXPECT_EQ(Child<QComboBox>(&f, "CBName")->currentText(), "管理员") << last.toStdString();
    }
}

TEST_F(LoginTest, SignInThroughTheMainWindow) {
    TfmMain w;
    // A wrong password: refused, still signed out.
    WhenSignIn("管理员", "1234");
    test::Click(&w, "MILogIn");
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"登陆失败！请检查用户名和密码。"}));
    EXPECT_TRUE(Enabled(w, "MILogIn"));
    EXPECT_TRUE(CurOperator().Rigth.isEmpty());

    fakes->prompter->boxes.clear();
    WhenSignIn("管理员", "8888");
    w.findChild<QAction*>("MILogIn")->trigger();
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"登陆成功！"}));
    EXPECT_EQ(fakes->prompter->boxes[0].title, "提示");
    EXPECT_EQ(CurOperator().Name, "管理员");
    EXPECT_EQ(CurOperator().Rigth, "0;1;2;3;4;5;6;7;8;9;10;");
    EXPECT_FALSE(Enabled(w, "MILogIn"));
    EXPECT_TRUE(Enabled(w, "MILogOut"));
    EXPECT_TRUE(Enabled(w, "MIModiPwd"));
    EXPECT_EQ(LoadLastOperator(), "管理员");
    // The delivered clear password is replaced by its hash at this first sign-in.
    EXPECT_TRUE(HoldsHashOf("管理员", "8888"));
    EXPECT_EQ(StoredPassword("Clerk"), "Pw");
    auto* signedIn = Child<QLabel>(&w, "StatusPanelOperator");
    EXPECT_EQ(signedIn->text(), "操作员：管理员");
    w.findChild<QAction*>("MILogOut")->trigger();
    EXPECT_TRUE(signedIn->text().isEmpty());
    WhenSignIn("管理员", "8888");
    test::Click(&w, "MILogIn");

    // The toolbar signs in again; a failure keeps the record, a success replaces it.
    WhenSignIn("Clerk", "nope");
    w.findChild<QAction*>("TBLogIn")->trigger();
    EXPECT_EQ(CurOperator().Name, "管理员");
    EXPECT_FALSE(Enabled(w, "MILogIn"));
    WhenSignIn("Clerk", "pW");
    w.findChild<QAction*>("TBLogIn")->trigger();
    EXPECT_EQ(CurOperator().Name, "Clerk");
    EXPECT_EQ(CurOperator().Rigth, "7;");
    EXPECT_EQ(LoadLastOperator(), "Clerk");
    EXPECT_EQ(signedIn->text(), "操作员：Clerk");
    // After the migration the password still signs in in any letter case, a wrong one does not.
    EXPECT_TRUE(HoldsHashOf("Clerk", "Pw"));
    fakes->prompter->boxes.clear();
    for (const char* typed : {"PW", "pw", "Px"}) {
        WhenSignIn("Clerk", typed);
        w.findChild<QAction*>("TBLogIn")->trigger();
    }
    EXPECT_EQ(fakes->prompter->texts(),
              QStringList({"登陆成功！", "登陆成功！", "登陆失败！请检查用户名和密码。"}));

    // Cancelling changes nothing and shows nothing.
    fakes->prompter->boxes.clear();
    test::WhenModal<TfmLogin>([](TfmLogin* f) { Child<QPushButton>(f, "BitBtnCancel")->click(); });
    EXPECT_FALSE(OperatorLogon(LogonSignIn));
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_EQ(CurOperator().Name, "Clerk");
}

TEST_F(LoginTest, PasswordChange) {
    TfmMain w;
    WhenSignIn("管理员", "8888");
    test::Click(&w, "MILogIn");
    fakes->prompter->boxes.clear();

    // A confirmation that differs is refused in the window, which stays open.
    test::WhenModal<TfmLogin>([this](TfmLogin* f) {
        Type(f, "EdtOldPwd", "8888");
        Type(f, "EditNewPwd", "abc");
        Type(f, "EditNewPwdConfirm", "abd");
        test::Click(f, "BitBtnComfirm");
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(fakes->prompter->lastText(), "两次输入的新密码不一致，请重新输入！");
        Child<QPushButton>(f, "BitBtnCancel")->click();
    });
    w.findChild<QAction*>("MIModiPwd")->trigger();
    EXPECT_TRUE(HoldsHashOf("管理员", "8888"));

    // A wrong old password changes nothing and says so.
    fakes->prompter->boxes.clear();
    WhenChangePassword("0000", "abc");
    EXPECT_FALSE(OperatorLogon(LogonChangePassword));
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"原密码错误，密码未修改！"}));
    EXPECT_TRUE(HoldsHashOf("管理员", "8888"));

    // A new password longer than the field is refused, never stored cut.
    fakes->prompter->boxes.clear();
    WhenChangePassword("8888", "NewPassword123");
    EXPECT_FALSE(OperatorLogon(LogonChangePassword));
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"新密码太长：最多 10 个字节（一个汉字占 2 个字节）！"}));
    EXPECT_TRUE(HoldsHashOf("管理员", "8888"));

    // The right old password: changed without a message.
    fakes->prompter->boxes.clear();
    WhenChangePassword("8888", "NewPasswor");
    EXPECT_TRUE(OperatorLogon(LogonChangePassword));
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_TRUE(HoldsHashOf("管理员", "newpasswor"));
    EXPECT_EQ(StoredPassword("Clerk"), "Pw");
}
