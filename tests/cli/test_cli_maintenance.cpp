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

TEST(CliMaintenance, DeletionsAreLoggedAndTheLogVerified) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    const auto sql = [&](const QString& statement) {
        OpenKQDataBase(data);
        ExecSql(statement);
        CloseKQDataBase();
    };
    sql("insert into WorkList (DDate, Name, T0) values ('2004-01-01', '张三', '08:00:00')");
    sql("insert into WorkList (DDate, Name) values ('2004-01-02', '李四')");
    ASSERT_EQ(test::RunCli({"--data", data, "delete", "2004-01-01", "2004-01-31"}).out, "2\n");

    test::CliResult r = test::RunCli({"--data", data, "audit", "list"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Seq\tEntryTime\tOperatorName\tKind\tRecordKey\tOldValues\tNewValues");
    const QStringList first = lines[1].split('\t');
    ASSERT_EQ(first.size(), 7);
    EXPECT_EQ(first[0], "1");
    EXPECT_TRUE(first[2].startsWith("kaoqin-cli:"));
    EXPECT_EQ(first[3], "数据删除");
    EXPECT_EQ(first[4], "2004-01-01 张三 (ISn 1)");
    EXPECT_EQ(first[5], R"({"DDate":"2004-01-01","Name":"张三","T0":"08:00:00"})");
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_EQ(test::RunCli({"--data", data, "audit", "list", "--from", today, "--to", today}).out.count('\n'),
              3);
    EXPECT_EQ(test::RunCli({"--data", data, "audit", "list", "--to", "2004-01-31"}).out.count('\n'), 1);

    r = test::RunCli({"--data", data, "audit", "verify"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "修改记录完整，共 2 条。\n");
    sql("update AuditLog set OldValues = '{}' where Seq = 1"); // by hand, behind the program's back
    r = test::RunCli({"--data", data, "audit", "verify"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith("修改记录第 1 条被改动或删除")) << r.err.toStdString();

    for (const QStringList& bad :
         {QStringList{"audit"}, QStringList{"audit", "check"},
          QStringList{"audit", "list", "--from", "2004-1-1"}, QStringList{"audit", "verify", "now"}})
        EXPECT_EQ(test::RunCli(QStringList({"--data", data}) + bad).code, 2) << bad.join(' ').toStdString();
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
