#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "support/clirunner.h"
#include "support/tempdata.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kq;

class CliReportsTestFixture : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeShifts({{1, "早班", "08:00:00", "12:00:00", true, true, true}});
        insert("2024-03-01", "张三", "08:30:00", "11:00:00");
        insert("2024-03-01", "李四", "08:00:00", "12:00:00");
    }
    void insert(const QString& date, const QString& name, const QString& on, const QString& off) {
        ExecSql("insert into WorkList (DDate, Name, T0, T1) values (?, ?, ?, ?)", {date, name, on, off});
    }
    test::CliResult run(const QStringList& args) { return test::RunCli(cliOptions() + args); }
};

using CliReportsTest = test::OnEachEngine<CliReportsTestFixture>;
KQ_ON_EACH_ENGINE(CliReportsTest);

TEST_P(CliReportsTest, QueryPrintsTheGridAndTotals) {
    test::CliResult r = run({"query", "--from", "2024-03-01", "--to", "2024-03-02", "--name", "张三"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n'), QStringList({
                                     "日期\t星期\t姓名\t早班上班\t早班下班\t未到原因\t备注",
                                     "2024-03-01\t周五\t张三\t08:30:00\t11:00:00\t\t",
                                     "2024-03-02\t周六\t张三\t\t\t\t",
                                     "早班迟到次数：1    累计时间：  0:30:00",
                                     "早班累计时间：  2:30:00",
                                     "早班早退次数：1    累计时间：  1:00:00",
                                     "缺勤天数：0",
                                     "",
                                 }));
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '张三'"), 2);

    r = run({"query", "--from", "2024-03-01", "--to", "2024-03-02"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines[1].contains("张三") && lines[2].contains("李四") && lines[3].contains("张三"));
    EXPECT_EQ(lines[4], "早班迟到次数：1    累计时间：  0:30:00");
    EXPECT_EQ(countRows("select count(*) from WorkList"), 3); // nothing completed without a name
}

TEST_P(CliReportsTest, QueryExportAndBadArguments) {
    const QString file = DataFolder() + "out.xls";
    test::CliResult r = run({"query", "--from", "2024-03-01", "--to", "2024-03-01", "--xls", file});
    if (r.code == 0)
        EXPECT_TRUE(QFile::exists(file));
    else
        EXPECT_FALSE(r.err.isEmpty());
    r = run({"query", "--from", "2025-01-01", "--to", "2025-01-02", "--xls", file + "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("没有数据"));
    EXPECT_FALSE(QFile::exists(file + "2"));

    const QList<QStringList> bad = {
        {"query", "--to", "2024-03-01"},
        {"query", "--from", "2024-3-1", "--to", "2024-03-01"},
        {"query", "--from", "2024-02-30", "--to", "2024-03-01"},
        {"query", "--from", "2024-03-01", "--to", "2024-03-02", "--name"},
        {"query", "--from", "2024-03-01", "--to", "2024-03-02", "--name", "张三", "--bogus"},
    };
    for (const QStringList& args : bad) {
        r = run(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    }
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
}

// Every export a report is asked for is written, typed where the format has types.
TEST_P(CliReportsTest, ExportsXlsCsvAndXlsx) {
    const QString base = DataFolder() + "stats";
    test::CliResult r = run({"stats", "--from", "2024-03-01", "--to", "2024-03-31", "--xls", base + ".xls",
                             "--csv", base + ".csv", "--xlsx", base + ".xlsx"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile csv(base + ".csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("\xEF\xBB\xBF工号,姓名,部门,早班迟到次数,早班迟到时间"));
    EXPECT_TRUE(QFile::exists(base + ".xls"));
    EXPECT_TRUE(QFile::exists(base + ".xlsx"));
    r = run({"query", "--from", "2024-03-01", "--to", "2024-03-01", "--csv", base + "q.csv"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QFile query(base + "q.csv");
    ASSERT_TRUE(query.open(QIODevice::ReadOnly));
    EXPECT_EQ(query.readAll().split('\n').at(1), "2024-03-01,周五,张三,08:30:00,11:00:00,,\r");
    r = run({"query", "--from", "2025-01-01", "--to", "2025-01-01", "--xlsx", base + "none.xlsx"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(QFile::exists(base + "none.xlsx"));
}

TEST_P(CliReportsTest, StatsPrintsTheTableOfEveryEmployee) {
    writeEmployees({{"张三", false, "", 4, 11, 1, "1"}, {"王五", false, "", 4, 12, 7, "2"}});
    test::CliResult r = run({"stats", "--from", "2024-03-01", "--to", "2024-03-31"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n'),
              QStringList({"工号\t姓名\t部门\t早班迟到次数\t早班迟到时间\t早班早退次数\t早班早退时间\t早班累"
                           "计时间\t事假次数\t"
                           "病假次数\t出差次数\t应出勤天数\t缺勤天数",
                           "11\t张三\t办公室\t1\t  0:30:00\t1\t  1:00:00\t  2:30:00\t\t\t\t21\t20",
                           "12\t王五\t\t\t\t\t\t\t\t\t\t21\t21", ""}));
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2); // statistics never add rows

    r = run({"stats", "--from", "2024-03-31", "--to", "2024-03-01"});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("\n11\t张三\t办公室\t\t\t\t\t\t\t\t\t0\t\n"));
    EXPECT_EQ(run({"stats", "--from", "2024-03-01"}).code, 2);
    EXPECT_EQ(run({"stats", "--from", "2024-03-01", "--to", "x"}).code, 2);
}
