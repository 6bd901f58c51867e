#include "core/data/dataset.h"
#include "support/clirunner.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

TEST(CliFoundation, InitEmployeeAndShiftCommands) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    test::CliResult r = test::RunCli({"--data", data, "init"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Employee.dat"));
    EXPECT_EQ(test::RunCli({"--data", data, "init"}).out, ""); // nothing left to create

    r = test::RunCli({"--data", data, "employee", "add", "--name", "O'Neil 张", "--card", "00A1", "--workno",
                      "１２", "--operator", "--password", "pw", "--group", "2"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli({"--data", data, "employee", "list"});
    EXPECT_EQ(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "SName\tIDNo\tDept\tIsOperator\tRigth\tCardNo");
    EXPECT_EQ(lines[2], "O'Neil 张\t12\t0\t1\t2\t00A1");

    r = test::RunCli({"--data", data, "shift", "add", "夜班", "22:00", "06:00:00", "--late", "--accumulate"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli({"--data", data, "shift", "list"});
    EXPECT_TRUE(r.out.endsWith("3\t夜班\t22:00:00\t06:00:00\t1\t0\t1\n")) << r.out.toStdString();
    r = test::RunCli({"--data", data, "shift", "add", "三个字", "08:00", "09:00"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("班时名称最好为2个字！"));
}

TEST(CliFoundation, BadArgumentsExitTwoAndWriteNothing) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QList<QStringList> bad = {
        {"employee", "add", "--name", "x"},
        {"employee", "add", "--name", "x", "--card", "1", "--workno", "1.5"},
        {"employee", "add", "--name", "x", "--card", "1", "--workno", "1e3"},
        {"employee", "add", "--name", "x", "--card", "1", "--password", "p"},
        {"employee", "add", "--name", "x", "--card", "1", "--bogus"},
        {"employee", "add", "--name", "x", "--card", "1", "--workno", "12a"},
        // Values wider than their fields are refused, never stored cut.
        {"employee", "add", "--name", "张三丰张三丰张三丰", "--card", "1"},
        {"employee", "add", "--name", "x", "--card", QString(46, '9')},
        {"employee", "add", "--name", "x", "--card", "1", "--operator", "--password", "12345678901",
         "--group", "1"},
        {"department", "add", "一二三四五六七八九十甲"},
        {"shift", "add", "A", "25:00", "08:00"},
        {"shift", "add", "A", "08:00"},
        {"nosuch"},
        {},
    };
    for (const QStringList& args : bad) {
        const test::CliResult r = test::RunCli(QStringList({"--data", data}) + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QDir(data).exists()); // nothing was written
}
