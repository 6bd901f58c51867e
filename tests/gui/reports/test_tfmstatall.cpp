#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "gui/reports/tfmgetdatedialog.h"
#include "gui/reports/tfmstatall.h"
#include "modal.h"
#include "support/gui/findchild.h"
#include "support/gui/guifakes.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace kq;

namespace {

void AnswerPeriod(const QDate& first, const QDate& last, bool confirm) {
    test::OnNextModal<TfmGetDateDialog>([=](TfmGetDateDialog* d) {
        d->findChild<QDateEdit*>("BeginDate")->setDate(first);
        d->findChild<QDateEdit*>("EndDate")->setDate(last);
        d->findChild<QPushButton*>(confirm ? "BtnOk" : "BtnCancel")->click();
    });
}

QStringList Headers(QTableWidget* t) {
    QStringList h;
    for (int c = 0; c < t->columnCount(); ++c)
        h << t->horizontalHeaderItem(c)->text();
    return h;
}

QStringList Line(QTableWidget* t, int row) {
    QStringList cells;
    for (int c = 0; c < t->columnCount(); ++c)
        cells << (t->item(row, c) ? t->item(row, c)->text() : "<none>");
    return cells;
}

} // namespace

class TfmStatAllTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeShifts({{1, "早", "08:00:00", "12:00:00", true, false, true},
                     {2, "午", "13:00:00", "17:00:00", false, true, false}});
        writeEmployees({{"张三", false, "", 4, 11, 1, "1"}, {"李四", false, "", 4, 12, 1, "2"}});
        ExecSql("insert into WorkList (DDate, Name, T0, T1, T3, LeaveType) values "
                "('2024-03-04', '张三', '08:30:00', '12:00:00', '16:00:00', 1)");
    }
    QTableWidget* table(TfmStatAll& w) { return w.findChild<QTableWidget*>("ListView1"); }
};

TEST_F(TfmStatAllTest, CreatedWithItsColumnsAndTitle) {
    TfmStatAll w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "考勤统计");
    EXPECT_EQ(Headers(table(w)),
              QStringList({"工号", "姓名", "部门", "早迟到次数", "早迟到时间", "早累计时间", "午早退次数",
                           "午早退时间", "事假次数", "病假次数", "出差次数", "应出勤天数", "缺勤天数"}));
    EXPECT_EQ(table(w)->columnWidth(0), 50);
    EXPECT_EQ(table(w)->columnWidth(1), 70);
    EXPECT_EQ(table(w)->columnWidth(2), 80);
    EXPECT_EQ(table(w)->columnWidth(11), 85);
    EXPECT_FALSE(table(w)->horizontalHeader()->sectionsClickable());
    auto* title = w.findChild<QLabel*>("LabTitle");
    EXPECT_EQ(title->text(), "考勤管理系统");
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(table(w)->rowCount(), 0);
    EXPECT_FALSE(table(w)->showGrid());
    EXPECT_TRUE(w.findChild<QLabel*>("LabEmpty")->isVisible());
    EXPECT_EQ(w.findChild<QLabel*>("LabEmpty")->text(), "请选择时间段");
    EXPECT_EQ(w.findInfo().BeginDate, QDateTime(QDate(2024, 3, 1), QTime(0, 0)));
    EXPECT_EQ(w.findInfo().Days, 0);
}

TEST_F(TfmStatAllTest, ConfirmedPeriodComputesCancelledKeepsTheTable) {
    TfmStatAll w;
    AnswerPeriod(QDate(2024, 3, 1), QDate(2024, 3, 31), true);
    w.findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(w.findChild<QLabel*>("LabPeriod")->text(), "统计时间：从2024-03-01到2024-03-31");
    ASSERT_EQ(table(w)->rowCount(), 2);
    // Absent: the workdays up to today (the 7th) without a punch or a reason.
    EXPECT_EQ(Line(table(w), 0), QStringList({"11", "张三", "办公室", "1", "  0:30:00", "  3:30:00", "1",
                                              "  1:00:00", "1", "", "", "21", "4"}));
    EXPECT_EQ(Line(table(w), 1),
              QStringList({"12", "李四", "办公室", "", "", "", "", "", "", "", "", "21", "5"}));
    EXPECT_TRUE(table(w)->showGrid());
    EXPECT_TRUE(w.findChild<QLabel*>("LabEmpty")->isHidden());

    AnswerPeriod(QDate(2024, 4, 1), QDate(2024, 4, 30), false);
    test::Click(&w, "BitBtn1");
    EXPECT_EQ(table(w)->rowCount(), 2);
    EXPECT_EQ(w.findChild<QLabel*>("LabPeriod")->text(), "统计时间：从2024-03-01到2024-03-31");
    EXPECT_EQ(w.findInfo().BeginDate.date(), QDate(2024, 4, 1)); // offered next time
    EXPECT_FALSE(w.findInfo().Confirmed);

    w.findChild<QPushButton*>("BitBtn2")->click();
    const QString file = DataFolder() + "考勤统计表.XLS";
    if (test::guiFakes().desktop->opened.isEmpty()) // the writer may refuse; its message names the file
        EXPECT_TRUE(fakes->prompter->lastText().contains(file)) << fakes->prompter->lastText().toStdString();
    else
        EXPECT_EQ(test::guiFakes().desktop->opened, QStringList({file}));

    // Without an application for the file, the window says where it was written.
    test::guiFakes().desktop->opens = false;
    w.findChild<QPushButton*>("BitBtn2")->click();
    EXPECT_EQ(fakes->prompter->lastText(),
              "文件已写入：" + QDir::toNativeSeparators(file) + "\n系统中没有能打开它的程序。");
}

TEST_F(TfmStatAllTest, EmptyTableExportsNothing) {
    TfmStatAll w;
    test::Click(&w, "BitBtn2");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_TRUE(test::guiFakes().desktop->opened.isEmpty());
}

TEST_F(TfmStatAllTest, StaysAliveButCannotCloseWhileComputing) {
    TfmStatAll w;
    w.show();
    bool checked = false;
    QTimer::singleShot(0, [&] {
        checked = true;
        EXPECT_TRUE(w.busy());
        EXPECT_TRUE(w.findChild<QProgressBar*>("ProgressBar1")->isVisible());
        EXPECT_FALSE(w.findChild<QPushButton*>("BtnClose")->isEnabled());
        w.reject();
        w.close();
    });
    w.Compute();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.busy());
    EXPECT_TRUE(w.findChild<QPushButton*>("BtnClose")->isEnabled());
    EXPECT_FALSE(w.findChild<QProgressBar*>("ProgressBar1")->isVisible());
    w.findChild<QPushButton*>("BtnClose")->click();
    EXPECT_FALSE(w.isVisible());
}
