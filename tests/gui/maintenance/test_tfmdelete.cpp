#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfmdelete.h"
#include "gui/shell/tfmmain.h"
#include "support/tempdata.h"

#include <QAction>
#include <QDateEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace kq;

namespace {

class DeleteWindowTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        for (const char* day : {"2003-12-31", "2004-01-01", "2004-01-31", "2004-02-01"})
            ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {QString(day), "张三"});
        window.show();
        begin()->setDate(QDate(2004, 1, 1));
        end()->setDate(QDate(2004, 1, 31));
    }
    QDateEdit* begin() { return window.findChild<QDateEdit*>("BeginDate"); }
    QDateEdit* end() { return window.findChild<QDateEdit*>("EndDate"); }
    void post() { window.findChild<QPushButton*>("BitBtnPost")->click(); }
    int rows() { return countRows("select count(*) from WorkList"); }

    TfmDelete window;
};

} // namespace

TEST_F(DeleteWindowTest, NoLeavesTheTableUntouched) {
    fakes->prompter->answers = {false};
    post();
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    const auto& box = fakes->prompter->boxes[0];
    EXPECT_EQ(box.kind, "ask");
    EXPECT_EQ(box.title, "删除确认提示");
    EXPECT_EQ(
        box.text,
        "     考勤数据删除后无法恢复！\r\n\r\n是否真要删除从【2004-01-01】到【2004-01-31】的所有数据？");
    EXPECT_EQ(rows(), 4);
}

TEST_F(DeleteWindowTest, YesDeletesThePeriodAndReports) {
    post();
    EXPECT_EQ(countRows("select count(*) from WorkList where DDate in ('2003-12-31', '2004-02-01')"), 2);
    EXPECT_EQ(rows(), 2);
    ASSERT_EQ(fakes->prompter->boxes.size(), 2);
    EXPECT_EQ(fakes->prompter->boxes[1].kind, "message");
    EXPECT_EQ(fakes->prompter->boxes[1].title, "提示");
    EXPECT_EQ(fakes->prompter->boxes[1].text, "考勤数据删除成功！");
}

TEST_F(DeleteWindowTest, FailureShowsTheErrorAndNoSuccess) {
    CloseKQDataBase();
    post();
    ASSERT_EQ(fakes->prompter->boxes.size(), 2);
    EXPECT_EQ(fakes->prompter->boxes[1].kind, "error");
    OpenKQDataBase(DataFolder());
    EXPECT_EQ(rows(), 4);
}

TEST_F(DeleteWindowTest, EveryShowingResetsThePickers) {
    window.findChild<QPushButton*>("SeSkinButton1")->click();
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(begin()->date(), QDate(2024, 3, 7));
    EXPECT_EQ(end()->date(), QDate(2024, 3, 7));
    EXPECT_EQ(window.windowTitle(), "考勤数据删除");
}

// The main window's own deletion window: no other one may be alive here.
class DeleteMainTest : public test::DataFolderTest {};

TEST_F(DeleteMainTest, MainWindowKeepsOneWindow) {
    TfmMain main;
    CurOperator().Rigth = "10;";
    main.SetLogonState(true);
    QAction* command = main.findChild<QAction*>("MIDelete");
    command->trigger();
    const QList<TfmDelete*> forms = main.findChildren<TfmDelete*>();
    ASSERT_EQ(forms.size(), 1);
    forms[0]->findChild<QDateEdit*>("BeginDate")->setDate(QDate(2004, 1, 1));
    command->trigger(); // already shown: the same window, the pickers untouched
    EXPECT_EQ(main.findChildren<TfmDelete*>(), forms);
    EXPECT_EQ(forms[0]->findChild<QDateEdit*>("BeginDate")->date(), QDate(2004, 1, 1));
    forms[0]->close();
    command->trigger();
    EXPECT_EQ(main.findChildren<TfmDelete*>(), forms);
    EXPECT_EQ(forms[0]->findChild<QDateEdit*>("BeginDate")->date(), QDate(2024, 3, 7));
}
