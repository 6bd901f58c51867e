#include "core/data/ownerlock.h"
#include "core/maintenance/sqliteimage.h"
#include "support/archivebytes.h"
#include "support/clirunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QStringList Employees(const QString& data) {
    return test::RunCli({"--data", data, "employee", "list"}).out.split('\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(CliBackup, BackupAndRestoreTheDataFolderInVolumes) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QString archive = dir.filePath("kq.bak");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    QByteArray noise(60000, '\0');
    QRandomGenerator rng(5);
    for (char& c : noise)
        c = char(rng.bounded(256));
    test::WriteAll(data + "/noise.bin", noise); // several volumes of 20000 bytes
    const QStringList before = Employees(data);

    test::CliResult r = test::RunCli({"--data", data, "backup", archive, "--volume-size", "20000"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()); // no progress line when stderr is not a terminal
    EXPECT_TRUE(QFile::exists(dir.filePath("kq.002")));
    EXPECT_TRUE(QFile::exists(dir.filePath("kq.004")));

    ASSERT_EQ(test::RunCli({"--data", data, "employee", "add", "--name", "新人", "--card", "9"}).code, 0);
    test::WriteAll(data + "/noise.bin", "overwritten");
    r = test::RunCli({"--data", data, "restore", archive});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(Employees(data), before);
    EXPECT_EQ(test::ReadAll(data + "/noise.bin"), noise);

    // A missing volume is asked for; the end of the input stops, and the data stays as it was.
    ASSERT_EQ(test::RunCli({"--data", data, "employee", "add", "--name", "新人", "--card", "9"}).code, 0);
    ASSERT_TRUE(QFile::rename(dir.filePath("kq.003"), dir.filePath("elsewhere")));
    r = test::RunCli({"--data", data, "restore", archive});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Please insert disk 3")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("数据恢复出错或中断！"));
    EXPECT_EQ(Employees(data).size(), before.size() + 1);
    r = test::RunCli({"--data", data, "restore", archive}, "\n");
    EXPECT_EQ(r.code, 1); // asked again after Enter, then the input ends
    EXPECT_EQ(r.err.count("Please insert disk 3"), 2);
}

TEST(CliBackup, BadArgumentsAndMissingArchives) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    const QList<QStringList> usage = {{"backup"},
                                      {"backup", "a.bak", "b.bak"},
                                      {"backup", dir.filePath("a.bak"), "--volume-size", "16488"},
                                      {"backup", dir.filePath("a.bak"), "--volume-size", "-1"},
                                      {"backup", dir.filePath("a.bak"), "--volume-size", "big"},
                                      {"restore"},
                                      {"restore", "x", "--force"}};
    for (const QStringList& args : usage) {
        const test::CliResult r = test::RunCli(QStringList{"--data", data} + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("a.bak")));
    }
    test::CliResult r = test::RunCli({"--data", data, "restore", dir.filePath("missing.bak")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("missing.bak"));
    r = test::RunCli({"--data", data, "backup", dir.filePath("no/such/folder.bak")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Cannot write to archive")) << r.err.toStdString();
}

TEST(CliBackup, EveryVerbButInitRefusesAFolderThatIsNoDataFolderAndWritesNothing) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QString archive = dir.filePath("kq.bak");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    ASSERT_EQ(test::RunCli({"--data", data, "backup", archive}).code, 0);
    const QString from = "2024-01-01";
    const QString to = "2024-01-31";
    const QList<QStringList> verbs = {{"employee", "list"},
                                      {"employee", "add", "--name", "甲", "--card", "1"},
                                      {"shift", "list"},
                                      {"shift", "add", "早班", "08:00:00", "12:00:00"},
                                      {"shift", "delete", "1"},
                                      {"rights", "list"},
                                      {"rights", "set", "4", "1"},
                                      {"department", "list"},
                                      {"department", "add", "部"},
                                      {"department", "delete", "1"},
                                      {"reason", "list"},
                                      {"reason", "add", "病假"},
                                      {"reason", "delete", "1"},
                                      {"notice", "add", from, "通知"},
                                      {"notice", "list"},
                                      {"delete", from, to},
                                      {"audit", "list"},
                                      {"audit", "verify"},
                                      {"calendar", "list"},
                                      {"calendar", "add", from, "--holiday"},
                                      {"settings", "show"},
                                      {"settings", "set", "--beep", "on"},
                                      {"punch", "1"},
                                      {"backup", dir.filePath("out.bak")},
                                      {"restore", archive},
                                      {"query", "--from", from, "--to", to},
                                      {"stats", "--from", from, "--to", to}};
    const QString mistyped = dir.filePath("Dta");
    const QString empty = dir.filePath("empty");
    ASSERT_TRUE(QDir().mkpath(empty));
    for (const QString& folder : {mistyped, empty}) {
        for (const QStringList& verb : verbs) {
            const test::CliResult r = test::RunCli(QStringList{"--data", folder} + verb);
            EXPECT_EQ(r.code, 1) << verb.join(' ').toStdString();
            EXPECT_TRUE(r.err.contains(QDir::toNativeSeparators(folder))) << r.err.toStdString();
            if (folder == empty) break; // one verb shows the folder that exists is refused as well
        }
    }
    EXPECT_FALSE(QFileInfo::exists(mistyped));
    EXPECT_TRUE(QDir(empty).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.bak")));
    EXPECT_EQ(test::RunCli({"--data", mistyped, "init"}).code, 0);
    EXPECT_TRUE(QFileInfo::exists(mistyped + "/WorkList.db"));
}

TEST(CliBackup, RestoreCreatesAFolderOnlyWhenAskedAndNeverSwapsUnderTheRunningProgram) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QString archive = dir.filePath("kq.bak");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    ASSERT_EQ(test::RunCli({"--data", data, "employee", "add", "--name", "张三", "--card", "1"}).code, 0);
    ASSERT_EQ(test::RunCli({"--data", data, "backup", archive}).code, 0);
    const QStringList saved = Employees(data);

    const QString fresh = dir.filePath("new/Data"); // recovery on a new machine
    EXPECT_EQ(test::RunCli({"--data", fresh, "restore", archive}).code, 1);
    EXPECT_FALSE(QFileInfo::exists(fresh));
    test::CliResult r = test::RunCli({"--data", fresh, "restore", archive, "--create"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(Employees(fresh), saved);

    OwnerLock program; // this process stands for the program running on the folder
    ASSERT_TRUE(program.set(data, OwnerLock::Program));
    r = test::RunCli({"--data", data, "employee", "add", "--name", "李四", "--card", "2"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString(); // commands go on beside the program
    r = test::RunCli({"--data", data, "restore", archive});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("考勤程序正在使用数据文件夹")) << r.err.toStdString();
    EXPECT_EQ(Employees(data).size(), saved.size() + 1);
    ASSERT_TRUE(program.set(data, OwnerLock::Unlocked));
    EXPECT_EQ(test::RunCli({"--data", data, "restore", archive}).code, 0);
    EXPECT_EQ(Employees(data), saved);
}

TEST(CliBackup, ABackupTakenWhilePunchesGoInHoldsEveryPunchConfirmedBeforeIt) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    const QString archive = dir.filePath("kq.bak");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    ASSERT_EQ(test::RunCli({"--data", data, "employee", "add", "--name", "张三", "--card", "1"}).code, 0);
    ASSERT_EQ(test::RunCli({"--data", data, "shift", "add", "早班", "08:00:00", "12:00:00"}).code, 0);
    {
        // Enough rows that the backup takes a while.
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(data + "/WorkList.db");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("with recursive n(i) as (select 0 union all select i + 1 from n where i < 149999) "
                           "insert into WorkList (DDate, Name, T0, T1, Comment) "
                           "select date('2020-01-01', '+' || (i % 1000) || ' days'), '员工' || (i / 1000), "
                           "'08:01:02', '17:03:04', '外出办事' || i from n"));
    }
    QSqlDatabase::removeDatabase("fill");

    int day = 0;
    const auto punch = [&] {
        ++day;
        return test::RunCli({"--data", data, "punch", "1", "--slot", "0", "--at",
                             QDate(2024, 1, 1).addDays(day).toString("yyyy-MM-dd") + " 08:00:00"});
    };
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(punch().code, 0);
    const int confirmed = day;
    QProcess backup;
    backup.start(test::CliProgram(), {"--data", data, "backup", archive});
    ASSERT_TRUE(backup.waitForStarted());
    while (backup.state() != QProcess::NotRunning) {
        const test::CliResult r = punch(); // neither refused nor waiting for the copy
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        backup.waitForFinished(10);
    }
    ASSERT_EQ(backup.exitCode(), 0) << backup.readAllStandardError().toStdString();

    const QString restored = dir.filePath("restored");
    const test::CliResult r = test::RunCli({"--data", restored, "restore", archive, "--create"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(DatabaseProblem(restored + "/WorkList.db"), "");
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
    db.setDatabaseName(restored + "/WorkList.db");
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    q.prepare("select count(*) from WorkList where Name='张三' and DDate <= ?");
    q.addBindValue(QDate(2024, 1, 1).addDays(confirmed).toString("yyyy-MM-dd"));
    ASSERT_TRUE(q.exec() && q.next());
    EXPECT_EQ(q.value(0).toInt(), confirmed);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("check");
}
