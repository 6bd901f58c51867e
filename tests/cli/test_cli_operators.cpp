#include "core/data/datasetlock.h"
#include "support/archivebytes.h"
#include "support/clirunner.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QStringList Lines(const QString& out) {
    return out.split('\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(CliOperators, RightsDepartmentsAndReasons) {
    QTemporaryDir dir;
    const QStringList data = {"--data", dir.filePath("Data")};
    ASSERT_EQ(test::RunCli(data + QStringList{"init"}).code, 0);
    test::CliResult r = test::RunCli(data + QStringList{"rights", "set", "4", "8", "0", "8"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli(data + QStringList{"rights", "list"});
    EXPECT_EQ(Lines(r.out), QStringList({"Group\tName\tFunctions", "1\t系统管理员\t0;1;2;3;4;5;6;7;8;9;10;",
                                         "2\t考勤管理员\t1;2;4;7;8;9;", "3\t数据管理员\t5;6;7;8;10;",
                                         "4\t普通员工\t0;8;"}));

    for (const char* name : {"车间", "仓库"})
        EXPECT_EQ(test::RunCli(data + QStringList{"department", "add", name}).code, 0);
    EXPECT_EQ(test::RunCli(data + QStringList{"department", "delete", "2"}).code, 0);
    r = test::RunCli(data + QStringList{"department", "list"});
    EXPECT_EQ(Lines(r.out), QStringList({"ID\tDeptName", "1\t办公室", "2\t仓库"}));
    r = test::RunCli(data + QStringList{"department", "delete", "7"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("department 7 does not exist"));

    EXPECT_EQ(test::RunCli(data + QStringList{"reason", "delete", "1"}).code, 0);
    r = test::RunCli(data + QStringList{"reason", "list"});
    EXPECT_EQ(Lines(r.out), QStringList({"SerialNo\tName", "1\t病假", "2\t出差"}));
}

TEST(CliOperators, BadArgumentsExitTwoAndWriteNothing) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QList<QStringList> bad = {
        {"rights", "set"},
        {"rights", "set", "x"},
        {"rights", "set", "1", "11"},
        {"rights", "set", "1", "-1"},
        {"rights", "list", "extra"},
        {"rights"},
        {"department", "add"},
        {"department", "delete", "a"},
        {"reason", "rename", "1"},
    };
    for (const QStringList& args : bad) {
        const test::CliResult r = test::RunCli(QStringList({"--data", data}) + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QDir(data).exists());
}

TEST(CliOperators, WritersWaitForTheDataSetLock) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    const QByteArray before = test::ReadAll(data + "/Employee.dat");
    QProcess cli;
    {
        const DataSetLock held(data); // a window of the program writing at this moment
        cli.start(test::CliProgram(), {"--data", data, "employee", "add", "--name", "王五", "--card", "c12"});
        ASSERT_TRUE(cli.waitForStarted());
        EXPECT_FALSE(cli.waitForFinished(2000)); // it takes a fraction of that when not kept waiting
        EXPECT_EQ(test::ReadAll(data + "/Employee.dat"), before);
    }
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(Lines(test::RunCli({"--data", data, "employee", "list"}).out).last().startsWith("王五\t"));
}
