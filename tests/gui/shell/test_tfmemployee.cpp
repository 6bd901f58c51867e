#include "data/datafolder.h"
#include "data/dataset.h"
#include "modaldriver.h"
#include "setup/tfmsetdepartment.h"
#include "shell/employeemodel.h"
#include "shell/operatorinfo.h"
#include "shell/rights.h"
#include "shell/tfmemployee.h"
#include "shell/tfmemployeedialog.h"
#include "shell/tfmmain.h"
#include "shell/tfmsetrigth.h"
#include "tempdata.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
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
        for (const FieldDef& f : ds.fields())
            values << ds.asString(f.name);
        rows << values.join(',');
    }
    return rows;
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
    form.FormShow();
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

TEST_F(EmployeeTest, AddChangeDeleteReachTheFileOnClose) {
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
    form.BitBtnAddClick();
    EXPECT_EQ(form.clientDataSet().asString("SName"), "王五");
    EXPECT_EQ(FileRows("Employee.dat"), before); // nothing written while the register is open

    // Changing the current row: the dialog starts from the row, cancelling keeps it.
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        EXPECT_EQ(d->windowTitle(), "修改员工信息");
        EXPECT_EQ(Child<QLineEdit>(d, "EdtName")->text(), "王五");
        EXPECT_EQ(Child<QComboBox>(d, "ComboBoxDept")->currentText(), "车间");
        Child<QLineEdit>(d, "EdtName")->setText("王六");
        Child<QPushButton>(d, "BtnCanncel")->click();
    });
    form.BitBtnModiClick();
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        Child<QLineEdit>(d, "EdtName")->setText("王五五");
        Child<QComboBox>(d, "ComboBoxRigth")->setCurrentIndex(1);
        Child<QPushButton>(d, "BtnOk")->click();
    });
    Child<QAction>(Child<QTableView>(&form, "DBGrid1"), "PMIModi")->trigger();

    // Deleting asks first; No keeps the row.
    form.clientDataSet().locate("SName", {"张三"});
    fakes->prompter->answers = {false, true};
    form.BitBtnDelClick();
    EXPECT_EQ(form.clientDataSet().recordCount(), 4);
    form.BitBtnDelClick();
    EXPECT_EQ(fakes->prompter->boxes[0].text, "将要删除[ 张三 ] 员工？");
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "ask");
    EXPECT_EQ(form.clientDataSet().recordCount(), 3);

    Child<QPushButton>(&form, "BtnClose")->click();
    EXPECT_EQ(FileRows("Employee.dat"), QStringList({"管理员,True,123456,1,1,1,", "李四,False,,9,0,5,c9",
                                                     "王五五,True,pw,2,12,2,c12"}));
}

TEST_F(EmployeeTest, ChangeOnAnEmptyListAddsTheEmployee) {
    writeEmployees({});
    TfmEmployee form;
    form.show();
    form.BitBtnDelClick(); // nothing to delete, nothing asked
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    test::WhenModal<TfmEmployeeDialog>([](TfmEmployeeDialog* d) {
        Child<QLineEdit>(d, "EdtName")->setText("新人");
        d->BtnOkClick();
    });
    form.BitBtnModiClick();
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
    d.FormShow();
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

    // A work number with a fraction is refused in the dialog; text that is no number gives 0.
    auto* workNo = Child<QLineEdit>(&d, "EdtWorkNo");
    workNo->setText("12.5");
    d.BtnOkClick();
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"工号必须是整数！"}));
    EXPECT_NE(d.result(), QDialog::Accepted);
    workNo->setText("abc");
    d.BtnOkClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.EnteredInfo().IDNo, 0);
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
    ed.FormShow();
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
    none.FormShow();
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
        form.BtnSetRightClick();
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
