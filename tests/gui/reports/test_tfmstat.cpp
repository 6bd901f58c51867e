#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/reports/recordmodel.h"
#include "gui/reports/recordgrid.h"
#include "gui/reports/tfmfinddialog.h"
#include "gui/reports/tfmstat.h"
#include "modal.h"
#include "support/gui/findchild.h"
#include "support/gui/guifakes.h"
#include "support/tempdata.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QStringList Lines(TfmStat& w) {
    QStringList lines;
    auto* list = w.findChild<QListWidget*>("ListBox1");
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

// Answers the next search dialog with name and dates.
void AnswerFind(const QString& name, const QDate& first, const QDate& last, bool confirm) {
    test::OnNextModal<TfmFindDialog>([=](TfmFindDialog* d) {
        d->findChild<QComboBox*>("ComboBox1")->setEditText(name);
        d->findChild<QDateEdit*>("BeginDate")->setDate(first);
        d->findChild<QDateEdit*>("EndDate")->setDate(last);
        d->findChild<QPushButton*>(confirm ? "SeSkinButton1" : "SeSkinButton2")->click();
    });
}

} // namespace

class TfmStatTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeShifts({{1, "早班", "08:00:00", "12:00:00", true, true, true},
                     {2, "晚", "18:00:00", "22:00:00", false, false, false}});
        insert("2024-03-01", "张三", "08:30:00", "11:00:00");
        insert("2024-03-01", "李四", "08:00:00", "12:00:00");
        insert("2024-02-10", "张三", "09:00:00", "12:00:00");
    }
    void insert(const QString& date, const QString& name, const QString& on, const QString& off) {
        ExecSql("insert into WorkList (DDate, Name, T0, T1) values (?, ?, ?, ?)", {date, name, on, off});
    }
    RecordModel* model(TfmStat& w) { return w.findChild<RecordGrid*>("DBGrid1")->recordModel(); }
};

TEST_F(TfmStatTest, OpensOnTheWholeTable) {
    TfmStat w;
    EXPECT_EQ(w.windowTitle(), "考勤查询");
    EXPECT_TRUE(w.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(model(w)->rowCount(), 3);
    EXPECT_EQ(model(w)->columnCount(), 9);
    EXPECT_EQ(model(w)->data(model(w)->index(0, 0)).toString(), "2024-02-10");
    EXPECT_TRUE(Lines(w).isEmpty());
    EXPECT_EQ(w.findInfo().BeginDate, QDateTime(QDate(2024, 3, 1), QTime(0, 0)));
    EXPECT_EQ(w.findInfo().EndDate, QDateTime(QDate(2024, 3, 7), QTime(9, 0)));
    EXPECT_EQ(w.findChild<QGroupBox*>("GroupBox1")->title(), "统计结果");
    QStringList menu;
    for (QAction* a : w.findChild<RecordGrid*>("DBGrid1")->actions())
        menu << a->text();
    EXPECT_EQ(menu, QStringList({"过滤", "保存", "关闭"}));
}

TEST_F(TfmStatTest, OpensScrolledToTheMostRecentRows) {
    {
        Transaction t;
        for (int i = 0; i < 100; ++i)
            insert("2023-01-01", QStringLiteral("P%1").arg(i), "08:00:00", "12:00:00");
        t.commit();
    }
    TfmStat w;
    w.show();
    auto* grid = w.findChild<RecordGrid*>("DBGrid1");
    // Oldest first as ever, the view at the end: the newest row shows, the first one does not.
    EXPECT_EQ(model(w)->data(model(w)->index(0, 0)).toString(), "2023-01-01");
    EXPECT_EQ(grid->rowAt(grid->viewport()->height() - 1), 102);
    EXPECT_GT(grid->rowAt(0), 0);
    EXPECT_EQ(grid->currentRow(), -1); // the export's name is still the first row's
}

TEST_F(TfmStatTest, FilterRefreshesOnlyWhenConfirmed) {
    TfmStat w;
    AnswerFind("张三", QDate(2024, 3, 1), QDate(2024, 3, 3), true);
    test::Click(&w, "BitBtn1");
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '张三'"), 4); // two days completed
    ASSERT_EQ(model(w)->rowCount(), 3);
    EXPECT_EQ(model(w)->data(model(w)->index(2, 0)).toString(), "2024-03-03");
    EXPECT_EQ(Lines(w), QStringList({"早班迟到次数：1    累计时间：  0:30:00", "早班累计时间：  2:30:00",
                                     "早班早退次数：1    累计时间：  1:00:00", "缺勤天数：0"}));

    // A cancelled dialog changes nothing but its values are offered next time.
    AnswerFind("李四", QDate(2024, 2, 1), QDate(2024, 3, 1), false);
    test::Click(&w, "BitBtn1");
    EXPECT_EQ(model(w)->rowCount(), 3);
    EXPECT_EQ(w.findInfo().Name, "李四");
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '李四'"), 1);
    test::OnNextModal<TfmFindDialog>([](TfmFindDialog* d) {
        EXPECT_EQ(d->findChild<QComboBox*>("ComboBox1")->currentText(), "李四");
        EXPECT_EQ(d->findChild<QDateEdit*>("BeginDate")->date(), QDate(2024, 2, 1));
        d->findChild<QComboBox*>("ComboBox1")->setEditText("");
        d->findChild<QPushButton*>("SeSkinButton1")->click();
    });
    test::Click(&w, "BitBtn1");
    // Everybody of the period, by date then name; no rows created; totals over everybody.
    EXPECT_EQ(countRows("select count(*) from WorkList"), 5);
    ASSERT_EQ(model(w)->rowCount(), 3);
    EXPECT_EQ(model(w)->data(model(w)->index(1, 2)).toString(), "张三");
    EXPECT_EQ(model(w)->data(model(w)->index(2, 2)).toString(), "李四");
    EXPECT_EQ(Lines(w).first(), "早班迟到次数：2    累计时间：  1:30:00");
}

TEST_F(TfmStatTest, ExportNamesTheFileAfterTheCurrentRow) {
    TfmStat w;
    auto* grid = w.findChild<RecordGrid*>("DBGrid1");
    grid->setCurrentIndex(model(w)->index(2, 0)); // 2024-03-01 李四
    w.findChild<QPushButton*>("BtnToEXCEL")->click();
    const QString file = DataFolder() + "李四考勤表.XLS";
    if (test::guiFakes().desktop->opened.isEmpty()) // the writer may refuse; its message names the file
        EXPECT_TRUE(fakes->prompter->lastText().contains(file)) << fakes->prompter->lastText().toStdString();
    else
        EXPECT_EQ(test::guiFakes().desktop->opened, QStringList({file}));

    // Nothing to export: silently nothing.
    AnswerFind("", QDate(2025, 1, 1), QDate(2025, 1, 2), true);
    test::Click(&w, "BitBtn1");
    fakes->prompter->boxes.clear();
    test::guiFakes().desktop->opened.clear();
    test::Click(&w, "BtnToEXCEL");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_TRUE(test::guiFakes().desktop->opened.isEmpty());
}

TEST_F(TfmStatTest, CloseCommandsEndTheWindow) {
    QPointer<TfmStat> w = new TfmStat;
    w->show();
    w->findChild<QAction*>("PMIClose")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

TEST_F(TfmStatTest, MissingShiftFileIsReportedAndTheWindowStillOpens) {
    QFile::remove(path("ShiftTime.dat"));
    TfmStat w;
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "error");
    EXPECT_EQ(model(w)->rowCount(), 0);
}

TEST_F(TfmStatTest, RefreshWritesWhileTheGridHasNotFetchedEverything) {
    {
        Transaction t;
        for (int i = 0; i < 1000; ++i)
            insert("2023-01-01", QStringLiteral("P%1").arg(i), "08:00:00", "12:00:00");
        t.commit();
    }
    TfmStat w;
    // The first page is there before the rows are counted; one Ctrl+End still reaches the last
    // row of the grid's snapshot of the whole table.
    ASSERT_EQ(model(w)->rowCount(), RecordModel::kPageSize);
    auto* grid = w.findChild<RecordGrid*>("DBGrid1");
    grid->setCurrentIndex(model(w)->index(0, 0));
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(grid, &end);
    EXPECT_EQ(model(w)->rowCount(), 1003);
    EXPECT_EQ(grid->currentRow(), 1002);
    EXPECT_EQ(model(w)->data(grid->currentIndex().siblingAtColumn(0)).toString(), "2024-03-01");
    AnswerFind("张三", QDate(2024, 3, 1), QDate(2024, 3, 3), true);
    test::Click(&w, "BitBtn1");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty()) << fakes->prompter->lastText().toStdString();
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '张三'"), 4);
}
