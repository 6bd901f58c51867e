#include "core/data/dataset.h"
#include "core/shell/password.h"
#include "support/clirunner.h"

#include <QFile>
#include <QProcess>
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
    // The password is stored as its hash; the file holds neither it nor the delivered one in clear.
    DataSet ds;
    ds.open(data + "/Employee.dat");
    ASSERT_TRUE(ds.locate("SName", {"O'Neil 张"}));
    EXPECT_TRUE(IsPasswordHash(ds.asString("Password")));
    EXPECT_TRUE(VerifyPassword(ds.asString("Password"), "PW"));
    QFile file(data + "/Employee.dat");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains("\"pw\"") || bytes.contains("\"8888\""));

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

// Help of the tool and of every command goes to stdout with exit 0, in each of its spellings.
TEST(CliFoundation, HelpAndVersionExitZero) {
    const test::CliResult tool = test::RunCli({"--help"});
    ASSERT_EQ(tool.code, 0);
    EXPECT_TRUE(tool.err.isEmpty());
    QStringList commands;
    const QStringList lines = tool.out.section("commands:\n", 1).section("\n\n", 0, 0).split('\n');
    for (const QString& line : lines)
        commands << line.simplified().section(' ', 0, 0);
    EXPECT_GE(commands.size(), 14) << tool.out.toStdString();
    EXPECT_TRUE(commands.contains("backup") && commands.contains("query"));
    EXPECT_EQ(test::RunCli({"help"}).out, tool.out);
    for (const QString& command : commands) {
        for (const QStringList& args :
             {QStringList{"help", command}, QStringList{command, "--help"}, QStringList{"--help", command}}) {
            const test::CliResult r = test::RunCli(args);
            EXPECT_EQ(r.code, 0) << args.join(' ').toStdString();
            EXPECT_TRUE(r.out.startsWith("usage: kaoqin-cli [--data DIR] [--database URL] " + command))
                << r.out.toStdString();
            EXPECT_TRUE(r.out.contains("--help")) << args.join(' ').toStdString();
        }
    }
    const test::CliResult version = test::RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith("kaoqin-cli 1.")) << version.out.toStdString();
    // Asking for the help of what does not exist is a usage error.
    for (const QStringList& args : {QStringList{"help", "nosuch"}, QStringList{"--bogus"}}) {
        const test::CliResult r = test::RunCli(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("usage:"));
    }
}

// The program answers --help and --version without opening a window or a data folder.
TEST(CliFoundation, ProgramHelpAndVersion) {
    QProcess p;
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        p.start(test::AppProgram(), {option});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << option.toStdString();
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains("kaoqin")) << option.toStdString();
    }
    p.start(test::AppProgram(), {"--bogus"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
}
