#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/shell/operatorinfo.h"
#include "gui/setup/tfminputdialog.h"
#include "gui/setup/tfmsetdepartment.h"
#include "gui/setup/tfmsetleavetype.h"
#include "gui/shell/tfmmain.h"
#include "support/clirunner.h"
#include "support/gui/findchild.h"
#include "support/gui/modaldriver.h"
#include "support/tempdata.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

using namespace kq;

namespace {

// The rows of a numbered list file as "number name", in file order.
QStringList FileRows(const QString& file, const QString& numberField, const QString& nameField) {
    DataSet ds;
    ds.open(DataFile(file));
    QStringList rows;
    for (ds.first(); !ds.eof(); ds.next())
        rows << QString("%1 %2").arg(ds.asInt(numberField)).arg(ds.asString(nameField));
    return rows;
}

QStringList Departments() {
    return FileRows("Department.dat", "ID", "DeptName");
}

// Answers the next input dialog with text (OK) or cancels it (no text); records what it showed.
void WhenInput(std::optional<QString> text, QStringList* shown = nullptr) {
    test::WhenModal<TfmInputDialog>([text, shown](TfmInputDialog* d) {
        if (shown)
            *shown << d->windowTitle() << d->findChild<QLabel*>("Label1")->text() << d->edit1()->text();
        if (text) {
            d->edit1()->setText(*text);
            d->findChild<QPushButton*>("SeSkinButton2")->click();
        } else {
            d->findChild<QPushButton*>("SeSkinButton1")->click();
        }
    });
}

} // namespace

class NumberedListWindowTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        DataSet::writeFile(path("Department.dat"),
                           {{"ID", FieldType::Integer}, {"DeptName", FieldType::String, 20}},
                           {{1, "甲"}, {2, "乙"}, {3, "丙"}});
    }
};

TEST_F(NumberedListWindowTest, DepartmentsAddRenameAndDeleteWithRenumbering) {
    TfmSetDepartment w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "设置部门名称");
    QTableView* grid = w.findChild<QTableView*>("DBGrid1");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "序号");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "部门名称");
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    QStringList shown;
    WhenInput("丁", &shown);
    test::Click(&w, "BitBtnAdd");
    EXPECT_EQ(shown, QStringList({"输入部门名称", "部门名称", ""}));
    EXPECT_EQ(Departments(), QStringList({"1 甲", "2 乙", "3 丙", "4 丁"}));

    WhenInput(std::nullopt);
    test::Click(&w, "BitBtnAdd");
    EXPECT_EQ(Departments().size(), 4);

    // Renaming keeps the number; the grid's current row is the one renamed.
    grid->selectRow(1);
    shown.clear();
    WhenInput("乙二", &shown);
    test::Click(&w, "BitBtnModi");
    EXPECT_EQ(shown, QStringList({"修改部门名称", "部门名称", "乙"}));
    EXPECT_EQ(Departments().at(1), "2 乙二");

    // Deleting from the middle asks, then renumbers the rest in their order.
    fakes->prompter->answers = {false, true};
    test::Click(&w, "BitBtnDel");
    EXPECT_EQ(Departments().size(), 4);
    test::Click(&w, "BitBtnDel");
    EXPECT_EQ(fakes->prompter->boxes.at(0).text, "将要删除[ 乙二 ] 部门名称？");
    EXPECT_EQ(fakes->prompter->boxes.at(0).title, "提示");
    EXPECT_EQ(Departments(), QStringList({"1 甲", "2 丙", "3 丁"}));
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "丙");

    // A name of "-1" is a name like any other.
    WhenInput("-1");
    test::Click(&w, "BitBtnAdd");
    EXPECT_EQ(Departments().last(), "4 -1");
}

TEST_F(NumberedListWindowTest, EmptyListAddsNumberOneAndIgnoresChangeAndDelete) {
    DataSet::writeFile(path("Department.dat"),
                       {{"ID", FieldType::Integer}, {"DeptName", FieldType::String, 20}}, {});
    TfmSetDepartment w;
    w.show();
    test::Click(&w, "BitBtnModi"); // neither asks anything on an empty list
    test::Click(&w, "BitBtnDel");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    WhenInput("");
    test::Click(&w, "BitBtnAdd");
    EXPECT_EQ(Departments(), QStringList({"1 "}));
}

TEST_F(NumberedListWindowTest, ChangesAreMadeOnTheFileAsAnotherProgramLeftIt) {
    TfmSetDepartment w;
    w.show();
    w.findChild<QTableView*>("DBGrid1")->selectRow(1);
    const QStringList data = {"--data", DataFolder()};
    ASSERT_EQ(test::RunCli(data + QStringList{"department", "delete", "2"}).code, 0);

    // The department chosen is gone: nothing is renamed in its place.
    WhenInput("乙二");
    test::Click(&w, "BitBtnModi");
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"数据文件 Department.dat 已被其他程序修改，已重新读取。",
                                                     "“乙”已被其他程序修改或删除，请重新选择。"}));
    EXPECT_EQ(Departments(), QStringList({"1 甲", "2 丙"}));

    // A department added meanwhile keeps its number; the window's takes the next one.
    ASSERT_EQ(test::RunCli(data + QStringList{"department", "add", "丁"}).code, 0);
    WhenInput("戊");
    test::Click(&w, "BitBtnAdd");
    EXPECT_EQ(Departments(), QStringList({"1 甲", "2 丙", "3 丁", "4 戊"}));
    EXPECT_EQ(w.findChild<QTableView*>("DBGrid1")->model()->rowCount(), 4);
}

TEST_F(NumberedListWindowTest, AbsenceReasonsIsOneWindowShownWithoutBlocking) {
    TfmMain main;
    CurOperator().Rigth = "2;";
    main.SetLogonState(true);
    main.findChild<QAction*>("MISetLeaveType")->trigger();
    auto* w = main.findChild<TfmSetLeaveType*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->windowTitle(), "设置未到原因名称");

    QStringList shown;
    WhenInput("调休", &shown);
    test::Click(w, "BitBtnAdd");
    EXPECT_EQ(shown, QStringList({"输入未到原因名称", "名称", ""}));
    // Other windows read the list from the file: the change is there at once.
    EXPECT_EQ(FileRows("BlankReson.dat", "SerialNo", "Name"),
              QStringList({"1 事假", "2 病假", "3 出差", "4 调休"}));

    w->clientDataSet().first();
    fakes->prompter->answers = {true};
    test::Click(w, "BitBtnDel");
    EXPECT_EQ(fakes->prompter->lastText(), "将要删除[ 事假 ] 原因名称？");
    EXPECT_EQ(FileRows("BlankReson.dat", "SerialNo", "Name"), QStringList({"1 病假", "2 出差", "3 调休"}));

    // Closing only hides it; the command shows the same window again.
    w->findChild<QPushButton*>("SeSkinButton1")->click();
    EXPECT_FALSE(w->isVisible());
    main.findChild<QAction*>("MISetLeaveType")->trigger();
    EXPECT_EQ(main.findChildren<TfmSetLeaveType*>().size(), 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->clientDataSet().recordCount(), 3);

    // Without function 2 the command is refused.
    w->hide();
    CurOperator().Rigth = "0;";
    main.findChild<QAction*>("MISetLeaveType")->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(fakes->prompter->lastText(), "无此权限！");
}
