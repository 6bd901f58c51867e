#include "core/data/database.h"
#include "support/clirunner.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

TEST(CliMaintenance, NoticesAddAndList) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    test::CliResult r = test::RunCli({"--data", data, "notice", "add", "2024-3-7", "今天下午\n停电"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli(
        {"--data", data, "notice", "add", "2024-03-08", "--rtf", KQ_TEST_DATA_DIR "/rtf/wordprocessor.rtf"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli({"--data", data, "notice", "list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "WDate\tInform\n2024-03-07\t今天下午 停电\n"
                     "2024-03-08\t放假通知 元旦放假 Jan 1三天，请相互转告 行政部link\n");
    r = test::RunCli({"--data", data, "notice", "add", "2024-03-09", "--rtf", dir.filePath("missing.rtf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("missing.rtf"));
}

TEST(CliMaintenance, DeletePeriod) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    OpenKQDataBase(data);
    for (const char* day : {"2003-12-31", "2004-01-01", "2004-01-31", "2004-02-01"})
        ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {QString(day), "张三"});
    CloseKQDataBase();
    test::CliResult r = test::RunCli({"--data", data, "delete", "2004-01-01", "2004-01-31"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(test::RunCli({"--data", data, "delete", "2004-01-01", "2004-01-31"}).out, "0\n");
}

TEST(CliMaintenance, BadArgumentsExitTwoAndWriteNothing) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QList<QStringList> bad = {
        {"notice", "add", "2024-02-30", "text"},
        {"notice", "add", "2024-03-07"},
        {"notice", "add", "2024-03-07", "text", "--rtf", "file.rtf"},
        {"notice", "add", "2024-03-07", "--rtf"},
        {"notice", "remove"},
        {"delete", "2004-01-01"},
        {"delete", "2004-01-01", "2004-13-01"},
        {"delete", "yesterday", "today"},
    };
    for (const QStringList& args : bad) {
        const test::CliResult r = test::RunCli(QStringList({"--data", data}) + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QDir(data).exists());
}
