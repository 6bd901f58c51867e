#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/gbk.h"
#include "core/shell/operatorinfo.h"
#include "core/shell/password.h"
#include "core/shell/rights.h"
#include "gui/setup/tfminputdialog.h"
#include "gui/setup/tfmsetdepartment.h"
#include "gui/shell/employeemodel.h"
#include "gui/shell/tfmemployee.h"
#include "gui/shell/tfmemployeedialog.h"
#include "gui/shell/tfmlogin.h"
#include "gui/shell/tfmmain.h"
#include "gui/shell/tfmsetrigth.h"
#include "support/clirunner.h"
#include "support/gui/findchild.h"
#include "support/gui/modaldriver.h"
#include "support/tempdata.h"
#include "support/testhelpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace kq;

namespace {

using test::Child;

QStringList GridRow(QTableView* grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        cells << grid->model()->index(row, c).data().toString();
    return cells;
}

QStringList FileRows(const QString& file) {
    DataSet ds;
    ds.open(DataFile(file));
    QStringList rows;
    for (ds.first(); !ds.eof(); ds.next()) {
        QStringList values;
        for (const FieldDef& f : ds.fields()) {
            const QString v = ds.asString(f.name);
            values << (IsPasswordHash(v) ? QStringLiteral("<hash>") : v);
        }
        rows << values.join(',');
    }
    return rows;
}

// Answers the next employee dialog with a name and a card and "确定"; a dialog still open after it
// (a refusal) is cancelled. Records the boxes shown while it was open and the box that had the
// focus then.
struct DialogOutcome {
    QStringList texts;
    QString focus;
    bool stayedOpen = false;
};
void WhenEmployeeDialog(const QString& name, const QString& card, DialogOutcome* outcome,
                        test::Fakes* fakes) {
    test::WhenModal<TfmEmployeeDialog>([=](TfmEmployeeDialog* d) {
        const int before = int(fakes->prompter->boxes.size());
        Child<QLineEdit>(d, "EdtName")->setText(name);
        Child<QLineEdit>(d, "EdtCardNo")->setText(card);
        Child<QPushButton>(d, "BtnOk")->click();
        outcome->texts = fakes->prompter->texts().mid(before);
        outcome->stayedOpen = d->isVisible();
        outcome->focus = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        if (d->isVisible()) d->reject();
    });
}

QList<int> Checked(QListWidget* list) {
    QList<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) rows << i;
    return rows;
}

} // namespace

class EmployeeTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        DataSet::writeFile(path("Department.dat"),
                           {{"ID", FieldType::Integer}, {"DeptName", FieldType::String, 20}},
                           {{1, "办公室"}, {2, "车间"}});
        writeEmployees({{"张三", false, "", 0, 7, 2, "c7"},
                        {"管理员", true, "123456", 1, 1, 1, ""},
                        {"李四", false, "", 9, 0, 5, "c9"}});
    }
};

TEST_F(EmployeeTest, GridShowsCalculatedFieldsInDepartmentOrder) {
    TfmEmployee form;
    form.show();
    QTableView* grid = Child<QTableView>(&form, "DBGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 3);
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"工号", "姓名", "部门", "磁卡号", "电脑操作员", "密码", "权限"}));
    EXPECT_EQ(GridRow(grid, 0), QStringList({"1", "管理员", "办公室", "", "√", "******", "系统管理员"}));
    EXPECT_EQ(GridRow(grid, 1), QStringList({"7", "张三", "车间", "c7", "", "", ""}));
    EXPECT_EQ(GridRow(grid, 2), QStringList({"0", "李四", "", "c9", "", "", ""})); // numbers beyond the lists
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(EmployeeTest, AddChangeDeleteReachTheFileAtOnce) {
    const QStringList before = FileRows("Employee.dat");
    TfmEmployee form;
    form.show();

    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        EXPECT_EQ(d->windowTitle(), "增加员工");
        EXPECT_EQ(Child<QLineEdit>(d, "EdtWorkNo")->text(), "0");
        EXPECT_EQ(Child<QComboBox>(d, "ComboBoxRigth")->currentText(), "普通员工"); // group 4 offered
        EXPECT_EQ(Child<QComboBox>(d, "ComboBoxDept")->currentIndex(), -1);
        Child<QLineEdit>(d, "EdtWorkNo")->setText("12");
        Child<QLineEdit>(d, "EdtName")->setText("王五");
        Child<QComboBox>(d, "ComboBoxDept")->setCurrentIndex(1);
        Child<QLineEdit>(d, "EdtCardNo")->setText("c12");
        Child<QCheckBox>(d, "CheckBox1")->setChecked(true);
        Child<QLineEdit>(d, "EdtPwd")->setText("pw");
        Child<QPushButton>(d, "BtnOk")->click();
    });
    test::Click(&form, "BitBtnAdd");
    EXPECT_EQ(form.clientDataSet().asString("SName"), "王五");
    EXPECT_EQ(FileRows("Employee.dat"),
              before + QStringList({"王五,True,<hash>,4,12,2,c12"})); // written at once
    const QString hash = form.clientDataSet().asString("Password");
    EXPECT_TRUE(VerifyPassword(hash, "PW"));

    // Changing the current row: the dialog starts from the row, cancelling keeps it.
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        EXPECT_EQ(d->windowTitle(), "修改员工信息");
        EXPECT_EQ(Child<QLineEdit>(d, "EdtName")->text(), "王五");
        EXPECT_EQ(Child<QComboBox>(d, "ComboBoxDept")->currentText(), "车间");
        // The stored password is never shown; an empty box keeps it.
        EXPECT_EQ(Child<QLineEdit>(d, "EdtPwd")->text(), "");
        EXPECT_EQ(Child<QLineEdit>(d, "EdtPwd")->placeholderText(), "不修改请留空");
        Child<QLineEdit>(d, "EdtName")->setText("王六");
        Child<QPushButton>(d, "BtnCanncel")->click();
    });
    test::Click(&form, "BitBtnModi");
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        Child<QLineEdit>(d, "EdtName")->setText("王五五");
        Child<QComboBox>(d, "ComboBoxRigth")->setCurrentIndex(1);
        Child<QPushButton>(d, "BtnOk")->click();
    });
    Child<QAction>(Child<QTableView>(&form, "DBGrid1"), "PMIModi")->trigger();
    EXPECT_EQ(FileRows("Employee.dat").last(), "王五五,True,<hash>,2,12,2,c12");
    EXPECT_EQ(form.clientDataSet().asString("Password"), hash);

    // Deleting asks first; No keeps the row.
    form.clientDataSet().locate("SName", {"张三"});
    fakes->prompter->answers = {false, true};
    test::Click(&form, "BitBtnDel");
    EXPECT_EQ(form.clientDataSet().recordCount(), 4);
    test::Click(&form, "BitBtnDel");
    EXPECT_EQ(fakes->prompter->boxes[0].text, "将要删除[ 张三 ] 员工？");
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "ask");
    EXPECT_EQ(form.clientDataSet().recordCount(), 3);
    const QStringList after = {"管理员,True,123456,1,1,1,", "李四,False,,9,0,5,c9",
                               "王五五,True,<hash>,2,12,2,c12"};
    EXPECT_EQ(FileRows("Employee.dat"), after);

    Child<QPushButton>(&form, "BtnClose")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(FileRows("Employee.dat"), after);
    EXPECT_EQ(fakes->prompter->boxes.size(), 2); // the two questions, nothing else
}

TEST_F(EmployeeTest, DialogKeepsOrReplacesThePasswordWithoutShowingIt) {
    TfmEmployee form;
    form.show();
    ASSERT_TRUE(form.clientDataSet().locate("SName", {"管理员"}));
    // Stored in clear by an older version: an empty box keeps it, now as its hash.
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        EXPECT_EQ(Child<QLineEdit>(d, "EdtPwd")->text(), "");
        Child<QPushButton>(d, "BtnOk")->click();
    });
    test::Click(&form, "BitBtnModi");
    const QString kept = form.clientDataSet().asString("Password");
    EXPECT_TRUE(IsPasswordHash(kept));
    EXPECT_TRUE(VerifyPassword(kept, "123456"));

    // A password wider than 10 bytes is refused with a message; a shorter one replaces the stored one.
    DialogOutcome wide;
    test::WhenModal<TfmEmployeeDialog>([&](TfmEmployeeDialog* d) {
        auto* pwd = Child<QLineEdit>(d, "EdtPwd");
        pwd->setText("长密码一二三");
        Child<QPushButton>(d, "BtnOk")->click();
        wide.texts = fakes->prompter->texts();
        wide.stayedOpen = d->isVisible();
        wide.focus = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        pwd->setText("Neu");
        Child<QPushButton>(d, "BtnOk")->click();
    });
    test::Click(&form, "BitBtnModi");
    EXPECT_EQ(wide.texts, QStringList({"操作密码太长：最多 10 个字节（一个汉字占 2 个字节）！"}));
    EXPECT_TRUE(wide.stayedOpen);
    EXPECT_EQ(wide.focus, "EdtPwd");
    const QString replaced = form.clientDataSet().asString("Password");
    EXPECT_TRUE(VerifyPassword(replaced, "NEU"));
    EXPECT_FALSE(VerifyPassword(replaced, "123456"));
    EXPECT_EQ(GridRow(Child<QTableView>(&form, "DBGrid1"), 0).at(5), "******");
}

TEST_F(EmployeeTest, ChangeOnAnEmptyListAddsTheEmployee) {
    writeEmployees({});
    TfmEmployee form;
    form.show();
    test::Click(&form, "BitBtnDel"); // nothing to delete, nothing asked
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        Child<QLineEdit>(d, "EdtName")->setText("新人");
        test::Click(d, "BtnOk");
    });
    test::Click(&form, "BitBtnModi");
    form.close();
    EXPECT_EQ(FileRows("Employee.dat"), QStringList({"新人,False,,0,0,0,"}));
}

TEST_F(EmployeeTest, DialogResultRules) {
    TEmployeeInfo in;
    in.IDNo = 5;
    in.SName = " 赵 ";
    in.Dept = 2;
    in.Rigth = 9; // beyond the four groups
    in.Password = "p";
    TfmEmployeeDialog d(in);
    d.show();
    EXPECT_EQ(Child<QComboBox>(&d, "ComboBoxDept")->currentText(), "车间");
    EXPECT_EQ(Child<QComboBox>(&d, "ComboBoxRigth")->currentIndex(), -1);

    TEmployeeInfo r = d.EnteredInfo();
    EXPECT_TRUE(r.Confirmed);
    EXPECT_EQ(r.IDNo, 5);
    EXPECT_EQ(r.SName, " 赵 "); // as typed, not trimmed
    EXPECT_EQ(r.Dept, 2);
    EXPECT_EQ(r.Rigth, 0);
    EXPECT_EQ(r.RigthName, "");

    // A department typed rather than picked gives no department.
    Child<QComboBox>(&d, "ComboBoxDept")->setEditText("仓库");
    Child<QComboBox>(&d, "ComboBoxRigth")->setCurrentIndex(2);
    r = d.EnteredInfo();
    EXPECT_EQ(r.Dept, 0);
    EXPECT_EQ(r.Rigth, 3);
    EXPECT_EQ(r.RigthName, "数据管理员");

    // The work number: full-width digits are read; what is no whole number is refused with the
    // focus on the box, never stored as 0.
    d.show();
    auto* workNo = Child<QLineEdit>(&d, "EdtWorkNo");
    for (const char* refused : {"12.5", "abc", "１２a"}) {
        fakes->prompter->boxes.clear();
        workNo->setText(refused);
        test::Click(&d, "BtnOk");
        EXPECT_EQ(fakes->prompter->texts(), QStringList({"工号必须是整数！"})) << refused;
        EXPECT_NE(d.result(), QDialog::Accepted) << refused;
        EXPECT_EQ(d.focusWidget(), workNo) << refused;
    }
    workNo->setText("　１２３　");
    test::Click(&d, "BtnOk");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.EnteredInfo().IDNo, 123);
}

TEST_F(EmployeeTest, SwipedCardFillsTheCardBoxWithoutConfirming) {
    TfmEmployeeDialog d(TEmployeeInfo{});
    d.show();
    auto* card = Child<QLineEdit>(&d, "EdtCardNo");
    card->setFocus();
    QTest::keyClicks(card, "0012345");
    QTest::keyClick(card, Qt::Key_Return);
    EXPECT_EQ(card->text(), "0012345");
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), QDialog::Accepted);
    d.reject();
}

TEST_F(EmployeeTest, CancelledDialogReturnsTheRecordUnconfirmed) {
    TEmployeeInfo in;
    in.SName = "甲";
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        Child<QLineEdit>(d, "EdtName")->setText("乙");
        d->reject();
    });
    const TEmployeeInfo out = ShowEmployeeDialog(in);
    EXPECT_FALSE(out.Confirmed);
    EXPECT_EQ(out.SName, "甲");
}

TEST_F(EmployeeTest, RightsEditorLoadsDiscardsAndSavesOneGroup) {
    TfmSetRigth ed(1);
    ed.show();
    auto* combo = Child<QComboBox>(&ed, "ComboBox1");
    auto* checks = Child<QListWidget>(&ed, "CheckListBox1");
    ASSERT_EQ(checks->count(), 11);
    EXPECT_EQ(checks->item(0)->text(), "人员设置");
    EXPECT_EQ(checks->item(10)->text(), "数据删除");
    EXPECT_EQ(combo->currentText(), "考勤管理员");
    EXPECT_EQ(Checked(checks), QList<int>({1, 2, 4, 7, 8, 9}));

    // Closing the list without picking drops the unconfirmed check.
    checks->item(0)->setCheckState(Qt::Checked);
    combo->showPopup();
    combo->hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(Checked(checks), QList<int>({1, 2, 4, 7, 8, 9}));

    // Another group picked: its checks are shown, and only that group is saved.
    combo->showPopup();
    combo->setCurrentIndex(2);
    combo->hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(Checked(checks), QList<int>({5, 6, 7, 8, 10}));
    checks->item(10)->setCheckState(Qt::Unchecked);
    checks->item(0)->setCheckState(Qt::Checked);
    ed.Save();
    EXPECT_EQ(GroupFunctions(3), QList<int>({0, 5, 6, 7, 8}));
    EXPECT_EQ(GroupFunctions(2), QList<int>({1, 2, 4, 7, 8, 9}));

    // No group: nothing checked, position beyond the list likewise.
    TfmSetRigth none(7);
    none.show();
    EXPECT_EQ(Child<QComboBox>(&none, "ComboBox1")->currentIndex(), -1);
    EXPECT_TRUE(Checked(Child<QListWidget>(&none, "CheckListBox1")).isEmpty());
}

TEST_F(EmployeeTest, RightsEditorWritesOnlyOnConfirm) {
    test::WhenModal<TfmSetRigth>([](TfmSetRigth* ed) {
        Child<QListWidget>(ed, "CheckListBox1")->item(3)->setCheckState(Qt::Checked);
        Child<QPushButton>(ed, "BitBtnCancel")->click();
    });
    ShowRightsEditor(3);
    EXPECT_EQ(GroupFunctions(4), QList<int>({7}));
    test::WhenModal<TfmSetRigth>([](TfmSetRigth* ed) {
        Child<QListWidget>(ed, "CheckListBox1")->item(3)->setCheckState(Qt::Checked);
        Child<QPushButton>(ed, "BitBtnOK")->click();
    });
    ShowRightsEditor(3);
    EXPECT_EQ(GroupFunctions(4), QList<int>({3, 7}));
}

TEST_F(EmployeeTest, RegisterOpensRightsEditorAtTheEmployeesGroupAndTheDepartments) {
    TfmEmployee form;
    form.show();
    const QStringList employees = FileRows("Employee.dat");
    struct Case {
        const char* name;
        int position;
    } cases[] = {{"管理员", 0}, {"张三", -1}, {"李四", -1}};
    for (const Case& c : cases) {
        form.clientDataSet().locate("SName", {c.name});
        int shown = -2;
        test::WhenModal<TfmSetRigth>([&shown](TfmSetRigth* ed) {
            shown = Child<QComboBox>(ed, "ComboBox1")->currentIndex();
            ed->accept();
        });
        test::Click(&form, "BtnSetRight");
        EXPECT_EQ(shown, c.position) << c.name;
    }
    bool departments = false;
    test::WhenModal<TfmSetDepartment>([&departments](TfmSetDepartment* w) {
        departments = true;
        w->close();
    });
    Child<QPushButton>(&form, "BitBtnDept")->click();
    EXPECT_TRUE(departments);
    form.close();
    EXPECT_EQ(FileRows("Employee.dat"), employees);
}

TEST_F(EmployeeTest, GateLetsOnlyFunctionZeroIntoTheRegister) {
    TfmMain w;
    CurOperator().Rigth = "0;";
    w.SetLogonState(true);
    bool opened = false;
    test::WhenModal<TfmEmployee>([&opened](TfmEmployee* f) {
        opened = f->clientDataSet().recordCount() == 3;
        Child<QPushButton>(f, "BtnClose")->click();
    });
    w.findChild<QAction*>("MIEmployeeSet")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    for (const char* other : {"MIShiftSet", "MISetLeaveType", "MISysSet", "MIDelete"}) {
        fakes->prompter->boxes.clear();
        w.findChild<QAction*>(other)->trigger();
        EXPECT_EQ(fakes->prompter->texts(), QStringList({"无此权限！"})) << other;
    }
}

TEST_F(EmployeeTest, DuplicateCardsAndNamesAreRefusedInRegisterAndCommandLine) {
    writeEmployees({{"张三", false, "", 0, 7, 2, "c7"}, {"Tom", false, "", 0, 3, 1, "AB12"}});
    struct Case {
        const char* name;
        const char* card;
        const char* refusal; // the register's and the command line's; none: the register stores it
        const char* focus;
    } cases[] = {
        {"张三", "x1", "已有员工“张三”（工号 7），姓名不能重复！", "EdtName"},
        {"tOM", "x2", "已有员工“Tom”（工号 3），姓名不能重复！", "EdtName"}, // letter case ignored
        {"王五", "c7", "磁卡号 c7 已属于员工“张三”（工号 7），不能重复！", "EdtCardNo"},
        {"王五", "ab12", "磁卡号 AB12 已属于员工“Tom”（工号 3），不能重复！", "EdtCardNo"},
        {"王五", "c13", nullptr, nullptr},
    };
    TfmEmployee form;
    form.show();
    for (const Case& c : cases) {
        DialogOutcome outcome;
        WhenEmployeeDialog(c.name, c.card, &outcome, fakes);
        test::Click(&form, "BitBtnAdd");
        if (c.refusal) {
            EXPECT_EQ(outcome.texts, QStringList({c.refusal})) << c.name << c.card;
            EXPECT_TRUE(outcome.stayedOpen) << c.name << c.card;
            EXPECT_EQ(outcome.focus, c.focus) << c.name << c.card;
        } else {
            EXPECT_TRUE(outcome.texts.isEmpty()) << outcome.texts.join('|').toStdString();
            EXPECT_FALSE(outcome.stayedOpen);
        }
        // The command line refuses the same, and an employee the register just stored as well.
        const test::CliResult r =
            test::RunCli({"--data", DataFolder(), "employee", "add", "--name", c.name, "--card", c.card});
        EXPECT_EQ(r.code, 1) << c.name << c.card;
        const QString refusal = c.refusal ? c.refusal : "已有员工“王五”（工号 0），姓名不能重复！";
        EXPECT_EQ(r.err.trimmed(), refusal) << r.err.toStdString();
    }
    EXPECT_EQ(FileRows("Employee.dat"),
              QStringList({"张三,False,,0,7,2,c7", "Tom,False,,0,3,1,AB12", "王五,False,,4,0,0,c13"}));
}

TEST_F(EmployeeTest, ExistingDuplicatesLoadMarkedAndStayChangeable) {
    writeEmployees({{"张三", false, "", 0, 7, 2, "c7"},
                    {"李四", false, "", 0, 8, 2, "C7"},
                    {"张三", false, "", 0, 9, 2, "c9"},
                    {"王五", false, "", 0, 10, 2, "c10"}});
    TfmEmployee form;
    form.show();
    QTableView* grid = Child<QTableView>(&form, "DBGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 4);
    const auto marked = [&](int row, int column) {
        return grid->model()->index(row, column).data(Qt::BackgroundRole).isValid();
    };
    struct Mark {
        int row;
        bool name;
        bool card;
        const char* tip; // of the marked cell
    } marks[] = {{0, true, true, "与员工“张三”（工号 9）姓名重复"},
                 {1, false, true, "与员工“张三”（工号 7）磁卡号重复"},
                 {2, true, false, "与员工“张三”（工号 7）姓名重复"},
                 {3, false, false, ""}};
    for (const Mark& m : marks) {
        EXPECT_EQ(marked(m.row, EmployeeModel::SName), m.name) << m.row;
        EXPECT_EQ(marked(m.row, EmployeeModel::CardNo), m.card) << m.row;
        const int column = m.name ? EmployeeModel::SName : EmployeeModel::CardNo;
        EXPECT_EQ(grid->model()->index(m.row, column).data(Qt::ToolTipRole).toString(), m.tip) << m.row;
    }
    auto* note = Child<QLabel>(&form, "LabelDuplicates");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), "有 3 名员工的姓名或磁卡号与他人重复（红色标出），请修改。");

    // A duplicate a row already holds does not block changing its other fields; taking another
    // employee's name does; renaming one of the pair clears the marks.
    form.clientDataSet().moveTo(2);
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        Child<QLineEdit>(d, "EdtWorkNo")->setText("19");
        Child<QPushButton>(d, "BtnOk")->click();
    });
    test::Click(&form, "BitBtnModi");
    EXPECT_EQ(FileRows("Employee.dat").at(2), "张三,False,,0,19,2,c9");
    DialogOutcome outcome;
    WhenEmployeeDialog("王五", "c9", &outcome, fakes);
    test::Click(&form, "BitBtnModi");
    EXPECT_EQ(outcome.texts, QStringList({"已有员工“王五”（工号 10），姓名不能重复！"}));
    WhenEmployeeDialog("张三二", "c9", &outcome, fakes);
    test::Click(&form, "BitBtnModi");
    EXPECT_TRUE(outcome.texts.isEmpty());
    EXPECT_FALSE(marked(0, EmployeeModel::SName));
    EXPECT_EQ(note->text(), "有 2 名员工的姓名或磁卡号与他人重复（红色标出），请修改。");
}

TEST_F(EmployeeTest, FailedWriteKeepsTheEditsAndTheWindowOpen) {
    const QStringList before = FileRows("Employee.dat");
    TfmEmployee form;
    form.show();
    fakes->saveFiles->failAfter = 100; // a disk that fills up in the middle of the file
    DialogOutcome outcome;
    WhenEmployeeDialog("王五", "c12", &outcome, fakes);
    test::Click(&form, "BitBtnAdd");
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "error");
    EXPECT_TRUE(fakes->prompter->lastText().contains("无法写入数据文件"));
    EXPECT_TRUE(fakes->prompter->lastText().endsWith("修改已保留在窗口中，尚未保存。"));
    EXPECT_EQ(form.clientDataSet().recordCount(), 4); // shown, kept
    EXPECT_EQ(FileRows("Employee.dat"), before);

    // Closing tries again; while it fails, the operator chooses: Yes stays with the changes.
    fakes->prompter->boxes.clear();
    fakes->prompter->answers = {true};
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(fakes->prompter->texts().last(),
              "对 Employee.dat 的修改尚未保存。留在本窗口中稍后再试吗？\n选“否”将放弃这些修改并关闭窗口。");

    // The disk has room again: the next change writes both.
    fakes->saveFiles->failAfter.reset();
    WhenEmployeeDialog("赵六", "c13", &outcome, fakes);
    test::Click(&form, "BitBtnAdd");
    EXPECT_EQ(FileRows("Employee.dat"),
              before + QStringList({"王五,False,,4,0,0,c12", "赵六,False,,4,0,0,c13"}));

    // No drops what could not be written.
    fakes->saveFiles->failAfter = 0;
    form.clientDataSet().locate("SName", {"赵六"});
    fakes->prompter->answers = {true, false}; // delete it; then drop the deletion and close
    test::Click(&form, "BitBtnDel");
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(FileRows("Employee.dat").size(), 5);
}

TEST_F(EmployeeTest, RegisterAndCommandLineAddInterleaved) {
    TfmEmployee form;
    form.show();
    const QStringList data = {"--data", DataFolder()};
    ASSERT_EQ(test::RunCli(data + QStringList{"employee", "add", "--name", "王五", "--card", "c12"}).code, 0);

    // The register's next change is made on the file as the command line left it.
    DialogOutcome outcome;
    WhenEmployeeDialog("赵六", "c13", &outcome, fakes);
    test::Click(&form, "BitBtnAdd");
    EXPECT_EQ(outcome.texts, QStringList({"数据文件 Employee.dat 已被其他程序修改，已重新读取。"}));
    EXPECT_EQ(form.grid()->model()->rowCount(), 5);

    test::CliResult r =
        test::RunCli(data + QStringList{"employee", "add", "--name", "孙七", "--card", "C13"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.trimmed(), "磁卡号 c13 已属于员工“赵六”（工号 0），不能重复！");

    // A name added meanwhile on the command line is refused in the dialog, which stays open.
    ASSERT_EQ(test::RunCli(data + QStringList{"employee", "add", "--name", "钱八", "--card", "c14"}).code, 0);
    WhenEmployeeDialog("钱八", "c15", &outcome, fakes);
    test::Click(&form, "BitBtnAdd");
    EXPECT_EQ(outcome.texts, QStringList({"数据文件 Employee.dat 已被其他程序修改，已重新读取。",
                                          "已有员工“钱八”（工号 0），姓名不能重复！"}));
    EXPECT_TRUE(outcome.stayedOpen);

    // Deleting in the register keeps what the command line added.
    form.clientDataSet().locate("SName", {"王五"});
    test::Click(&form, "BitBtnDel");
    form.close();
    EXPECT_EQ(FileRows("Employee.dat"),
              QStringList({"张三,False,,0,7,2,c7", "管理员,True,123456,1,1,1,", "李四,False,,9,0,5,c9",
                           "赵六,False,,4,0,0,c13", "钱八,False,,4,0,0,c14"}));
}

TEST_F(EmployeeTest, EntryBoxesTakeNoMoreThanTheirFieldsWidth) {
    TfmEmployeeDialog dialog(TEmployeeInfo{});
    TfmLogin login(LogonChangePassword);
    TfmInputDialog input("输入部门名称", "部门名称", QString(), 20);
    struct Case {
        QWidget* window;
        const char* box;
        int width;
    } cases[] = {{&dialog, "EdtName", 15}, {&dialog, "EdtCardNo", 45}, {&dialog, "EdtPwd", 10},
                 {&login, "EditPwd", 10},  {&login, "EditNewPwd", 10}, {&input, "Edit1", 20}};
    for (const Case& c : cases) {
        auto* edit = Child<QLineEdit>(c.window, c.box);
        edit->clear();
        // Typed through an input method, one character at a time: Chinese, then Latin.
        for (const QString& chunk : {QString(c.width, QChar(0x5F20)), QString(c.width, 'a')}) {
            for (const QChar ch : chunk) {
                QInputMethodEvent typed;
                typed.setCommitString(QString(ch));
                QApplication::sendEvent(edit, &typed);
            }
        }
        EXPECT_EQ(GbkWidth(edit->text()), c.width) << c.box;
        EXPECT_TRUE(edit->text().startsWith(QString(c.width / 2, QChar(0x5F20)))) << c.box;
    }
}

TEST_F(EmployeeTest, RightsEditorReloadsTheChecksOnEveryChangeOfGroup) {
    TfmSetRigth ed(0);
    ed.show();
    auto* combo = Child<QComboBox>(&ed, "ComboBox1");
    auto* checks = Child<QListWidget>(&ed, "CheckListBox1");
    const auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &e);
    };
    struct Step {
        const char* how;
        std::function<void()> act;
        int group; // 1-based, after the step
    } steps[] = {{"wheel down", [&] { wheel(-120); }, 2},
                 {"key down", [&] { QTest::keyClick(combo, Qt::Key_Down); }, 3},
                 {"key down", [&] { QTest::keyClick(combo, Qt::Key_Down); }, 4},
                 {"wheel up", [&] { wheel(120); }, 3},
                 {"key up", [&] { QTest::keyClick(combo, Qt::Key_Up); }, 2}};
    for (const Step& s : steps) {
        checks->item(10)->setCheckState(checks->item(10)->checkState() == Qt::Checked ? Qt::Unchecked
                                                                                      : Qt::Checked);
        s.act();
        ASSERT_EQ(combo->currentIndex() + 1, s.group) << s.how;
        EXPECT_EQ(Checked(checks), GroupFunctions(s.group)) << s.how; // the unconfirmed check is dropped
    }
    // 确定 stores the checks shown for the group shown, and no other group changes.
    QList<QList<int>> groups;
    for (int g = 1; g <= 4; ++g)
        groups << GroupFunctions(g);
    checks->item(0)->setCheckState(Qt::Checked);
    Child<QPushButton>(&ed, "BitBtnOK")->click();
    EXPECT_FALSE(ed.isVisible());
    groups[1] = QList<int>({0}) + groups[1];
    for (int g = 1; g <= 4; ++g)
        EXPECT_EQ(GroupFunctions(g), groups[g - 1]) << g;
}

TEST_F(EmployeeTest, RightsEditorNeverOverwritesAGroupChangedMeanwhile) {
    TfmSetRigth ed(3);
    ed.show();
    auto* checks = Child<QListWidget>(&ed, "CheckListBox1");
    checks->item(1)->setCheckState(Qt::Checked);
    SetGroupFunctions(4, {7, 9}); // another program, as far as the editor knows
    Child<QPushButton>(&ed, "BitBtnOK")->click();
    EXPECT_TRUE(ed.isVisible());
    EXPECT_EQ(fakes->prompter->texts(),
              QStringList({"该组的操作权限已被其他程序修改，已重新读取，请重新设置。"}));
    EXPECT_EQ(GroupFunctions(4), QList<int>({7, 9}));
    EXPECT_EQ(Checked(checks), QList<int>({7, 9})); // loaded again
    checks->item(1)->setCheckState(Qt::Checked);
    Child<QPushButton>(&ed, "BitBtnOK")->click();
    EXPECT_FALSE(ed.isVisible());
    EXPECT_EQ(GroupFunctions(4), QList<int>({1, 7, 9}));
}
