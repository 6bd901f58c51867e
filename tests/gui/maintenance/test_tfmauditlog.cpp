#include "core/data/database.h"
#include "core/maintenance/perioddelete.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfmauditlog.h"
#include "support/tempdata.h"

#include <QDateEdit>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace kq;

class AuditLogWindowTest : public test::DataFolderTest {};

TEST_F(AuditLogWindowTest, ShowsTheEntriesOfThePeriodAndWhetherTheLogIsWhole) {
    CurOperator().Name = "管理员";
    ExecSql("insert into WorkList (DDate, Name, T0) values ('2024-03-01', '张三', '08:00:00')");
    DeletePeriod(QDate(2024, 3, 1), QDate(2024, 3, 1));
    fakes->clock->current = QDateTime(QDate(2024, 2, 20), QTime(10, 0));
    ExecSql("insert into WorkList (DDate, Name) values ('2024-02-01', '李四')");
    DeletePeriod(QDate(2024, 2, 1), QDate(2024, 2, 1));
    fakes->clock->current = QDateTime(QDate(2024, 3, 7), QTime(9, 0));

    TfmAuditLog w;
    EXPECT_EQ(w.windowTitle(), "修改记录");
    auto* grid = w.findChild<QTableWidget*>("DBGrid1");
    ASSERT_EQ(grid->rowCount(), 1); // this month's entries
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << grid->item(0, c)->text();
    EXPECT_EQ(cells, QStringList({"1", "2024-03-07 09:00:00", "管理员", "数据删除", "2024-03-01 张三 (ISn 1)",
                                  R"({"DDate":"2024-03-01","Name":"张三","T0":"08:00:00"})", ""}));
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    auto* check = w.findChild<QLabel*>("LabCheck");
    EXPECT_EQ(check->text(), "修改记录完整，共 2 条。");

    w.findChild<QDateEdit*>("BeginDate")->setDate(QDate(2024, 2, 1));
    ExecSql("delete from AuditLog where Seq = 1");
    w.BtnFindClick();
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 0)->text(), "2");
    EXPECT_TRUE(check->text().startsWith("修改记录第 2 条被改动或删除")) << check->text().toStdString();
    EXPECT_TRUE(check->styleSheet().contains("red"));
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
}
