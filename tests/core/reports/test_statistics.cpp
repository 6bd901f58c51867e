#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/shared.h"
#include "core/reports/statistics.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

class StatisticsTestFixture : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeShifts({{1, "早", "08:00:00", "12:00:00", true, false, true},
                     {2, "午", "13:00:00", "17:00:00", false, true, false},
                     {3, "闲", "18:00:00", "19:00:00", false, false, false}});
        DataSet::writeFile(path("Department.dat"),
                           {{"ID", FieldType::Integer}, {"DeptName", FieldType::String, 20}},
                           {{1, "办公室"}, {2, "车间"}});
    }
    void insert(const QString& date, const QString& name, const QVariantList& times,
                const QVariant& leave = {}) {
        QVariantList values{date, name, leave};
        for (int i = 0; i < 4; ++i)
            values << (i < times.size() ? times[i] : QVariant());
        ExecSql("insert into WorkList (DDate, Name, LeaveType, T0, T1, T2, T3) values (?, ?, ?, ?, ?, ?, ?)",
                values);
    }
    QList<QStringList> compute(const QDate& first, const QDate& last, int days) {
        const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OffDuty);
        return ComputeStatistics(slotTable, ReadLeaveReasons("SerialNo"), StatEmployees(), first, last, days);
    }
};

using StatisticsTest = test::OnEachEngine<StatisticsTestFixture>;
KQ_ON_EACH_ENGINE(StatisticsTest);

TEST_P(StatisticsTest, ColumnsFollowTheShiftFlagsAndReasons) {
    EXPECT_EQ(StatColumns(BuildSlotTable(AccumulateOn::OffDuty), ReadLeaveReasons("SerialNo")),
              QStringList({"工号", "姓名", "部门", "早迟到次数", "早迟到时间", "早累计时间", "午早退次数",
                           "午早退时间", "事假次数", "病假次数", "出差次数", "应出勤天数", "缺勤天数"}));
    // Counts and days are numbers, times durations; one kind per column.
    using K = CellKind;
    EXPECT_EQ(StatColumnKinds(BuildSlotTable(AccumulateOn::OffDuty), ReadLeaveReasons("SerialNo")),
              QList<CellKind>({K::Number, K::Text, K::Text, K::Number, K::Duration, K::Duration, K::Number,
                               K::Duration, K::Number, K::Number, K::Number, K::Number, K::Number}));
    writeShifts({});
    EXPECT_EQ(StatColumns(BuildSlotTable(AccumulateOn::OffDuty), {}),
              QStringList({"工号", "姓名", "部门", "应出勤天数", "缺勤天数"}));
}

TEST_P(StatisticsTest, LinesPerEmployeeInDeptOrder) {
    writeEmployees({{"张三", false, "", 4, 11, 2, "1"},
                    {"李四", false, "", 4, 12, 1, "2"},
                    {"张三", false, "", 4, 13, 9, "3"}, // same name, unknown department
                    {"王五", false, "", 4, 0, 1, "4"}});
    insert("2024-03-01", "张三", {"08:10:00", "12:00:00", "13:00:00", "16:00:00"}, 3);
    insert("2024-03-02", "张三", {"08:00:00", "11:00:00", QVariant(), "16:30:00"}, 4); // outside the reasons
    insert("2024-03-03", "张三", {"00:00:00", "08:00:00", QVariant(), QVariant()},
           -1); // midnight still works
    insert("2024-03-04", "李四", {}, 1);
    insert("2024-03-05", "李四", {}, 0);
    insert("2024-04-01", "李四", {"09:00:00"}, 1); // after the period
    insert("2024-03-04", "赵六", {"09:00:00"}, 1); // no such employee

    const QList<QStringList> lines = compute(QDate(2024, 3, 1), QDate(2024, 3, 31), 21);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringList({"12", "李四", "办公室", "", "", "", "", "", "1", "", "", "21"}));
    EXPECT_EQ(lines[1],
              QStringList({"0", "王五", "办公室", "", "", "", "", "", "", "", "", "21"})); // no rows
    // Both of the name count all its rows; 00:00:00 to 08:00:00 adds 8 hours of worked time.
    const QStringList cells = {"1", "  0:10:00", " 14:50:00", "2", "  1:30:00", "", "", "1", "21"};
    EXPECT_EQ(lines[2], QStringList({"11", "张三", "车间"}) + cells);
    EXPECT_EQ(lines[3], QStringList({"13", "张三", ""}) + cells);

    // A reversed period lists everybody with empty cells.
    for (const QStringList& line : compute(QDate(2024, 3, 31), QDate(2024, 3, 1), 0)) {
        EXPECT_EQ(line.mid(3), QStringList({"", "", "", "", "", "", "", "", "0"}));
    }
}

TEST_P(StatisticsTest, WithoutShiftsAndReasonsAndWithProgress) {
    writeShifts({});
    writeEmployees({{"张三", false, "", 4, 7, 1, "1"}});
    DataSet::writeFile(path("BlankReson.dat"),
                       {{"SerialNo", FieldType::Integer}, {"Name", FieldType::String, 20}}, {});
    for (int d = 1; d <= 20; ++d)
        insert(DateText(QDate(2024, 3, d)), "张三", {"08:00:00"}, 1);
    QList<qint64> reported;
    const QList<QStringList> lines = ComputeStatistics(
        {}, ReadLeaveReasons("SerialNo"), StatEmployees(), QDate(2024, 3, 1), QDate(2024, 3, 31), 21,
        [&](qint64 done, qint64 total) { reported << done << total; });
    EXPECT_EQ(lines, QList<QStringList>({{"7", "张三", "办公室", "21"}}));
    // Rows read on SQLite; on the server, its two passes (its sums, then the rows it left out).
    const qint64 steps = onServer() ? 2 : 20;
    EXPECT_EQ(reported.mid(reported.size() - 2), QList<qint64>({steps, steps}));
}

TEST_P(StatisticsTest, ExportTable) {
    EXPECT_EQ(StatPeriodLine(QDate(2024, 3, 1), QDate(2024, 3, 31)), "统计时间：从2024-03-01到2024-03-31");
    const XlsTable t = StatXlsTable("某公司", "统计时间：从2024-03-01到2024-03-31", {"工号", "姓名"},
                                    {CellKind::Number, CellKind::Text}, {{"1", "张三"}});
    EXPECT_EQ(t.headerLines, QStringList({"《某公司考勤统计表      统计时间：从2024-03-01到2024-03-31》"}));
    EXPECT_EQ(t.columns, QStringList({"工号", "姓名"}));
    EXPECT_EQ(t.rows, QList<QStringList>({{"1", "张三"}}));
    EXPECT_EQ(t.kinds, QList<CellKind>({CellKind::Number, CellKind::Text}));
    EXPECT_TRUE(t.footerLines.isEmpty());
    EXPECT_EQ(StatXlsFileName(), DataFolder() + "考勤统计表.XLS");
}
