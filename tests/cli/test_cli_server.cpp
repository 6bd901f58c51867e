#include "core/data/engine.h"
#include "support/clirunner.h"
#include "support/pgcluster.h"
#include "support/testhelpers.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

class CliServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        cluster = test::PgCluster::shared();
        if (!cluster) GTEST_SKIP() << qPrintable(test::PgCluster::missingReason());
        cluster->reset();
        folder = dir.filePath("Data");
    }
    test::CliResult cli(const QString& data, const QStringList& args) {
        return test::RunCli(QStringList{"--data", data} + args);
    }
    // The data files a folder holds: none where the records are on the server.
    static QStringList dataFiles(const QString& folder) {
        return QDir(folder).entryList({"*.dat", "*.db", "*.db-*"}, QDir::Files);
    }
    QString display() const { return cluster->address().display(); }

    test::PgCluster* cluster = nullptr;
    QTemporaryDir dir;
    QString folder;
};

TEST_F(CliServerTest, InitStoresTheServerAndEveryStationOnItSharesTheRecords) {
    test::CliResult r = cli(folder, {"init", "--database", cluster->url()});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains("created\tEmployee.dat\n"));
    EXPECT_TRUE(r.out.endsWith("database\tPostgreSQL " + display() + "\n")) << qPrintable(r.out);
    EXPECT_TRUE(dataFiles(folder).isEmpty());
    const QString settings = folder + "/" + kServerSettingsFile,
                  password = folder + "/" + kServerPasswordFile;
    EXPECT_FALSE(test::ReadBytes(settings).contains("kq-secret"));
    EXPECT_EQ(test::ReadBytes(password), "kq-secret\n");
    EXPECT_EQ(QFile::permissions(password) & (QFile::ReadGroup | QFile::ReadOther), 0);

    // From then on the folder alone says where the records are.
    r = cli(folder, {"settings", "show"});
    EXPECT_TRUE(r.out.endsWith("\tPostgreSQL " + display() + "\n")) << qPrintable(r.out);
    ASSERT_EQ(cli(folder, {"employee", "add", "--name", "张三", "--card", "A1"}).code, 0);
    r = cli(folder, {"punch", "A1", "--slot", "0", "--at", "2024-03-07 08:05:00"});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);

    // A second station: its own folder on the same server sees the employee and the punch.
    const QString station = dir.filePath("Station2");
    r = cli(station, {"init", "--database", cluster->url()});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_FALSE(r.out.contains("created")) << qPrintable(r.out);
    EXPECT_TRUE(cli(station, {"employee", "list"}).out.contains("张三"));
    r = cli(station, {"punch", "a1", "--slot", "0", "--at", "2024-03-07 08:07:00"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "张三 上午上班已刷过卡!\n");
    r = cli(station, {"query", "--from", "2024-03-07", "--to", "2024-03-07"});
    EXPECT_TRUE(r.out.contains("2024-03-07\t周四\t张三\t08:05:00")) << qPrintable(r.out);
    EXPECT_TRUE(dataFiles(station).isEmpty());
}

TEST_F(CliServerTest, ConnectionFailuresNameTheServerNeverThePasswordAndWriteNothing) {
    const ServerAddress a = cluster->address();
    const struct Case {
        QString url;
        QString named; // what the message must name
    } cases[] = {
        {QString("postgresql://kq:wrong-pw@:%1/kq?host=%2").arg(a.port).arg(a.host), display()},
        {QString("postgresql://kq:kq-secret@:%1/kq?host=%2/gone").arg(a.port).arg(a.host),
         QString("kq@%1/gone:%2/kq").arg(a.host).arg(a.port)},
        {QString("postgresql://kq:kq-secret@:%1/nodb?host=%2").arg(a.port).arg(a.host),
         QString("kq@%1:%2/nodb").arg(a.host).arg(a.port)},
        {"postgresql://kq:kq-secret@/", "数据库地址"},
    };
    for (const Case& c : cases) {
        test::CliResult r = cli(folder, {"init", "--database", c.url});
        EXPECT_EQ(r.code, 1) << qPrintable(c.url);
        EXPECT_TRUE(r.err.contains(c.named)) << qPrintable(r.err);
        EXPECT_FALSE(r.err.contains("kq-secret") || r.err.contains("wrong-pw")) << qPrintable(r.err);
        EXPECT_FALSE(QFile::exists(folder + "/" + kServerSettingsFile));
        EXPECT_TRUE(dataFiles(folder).isEmpty());
    }

    // A folder on the server whose server went away: the command fails, names the server, and
    // works again once it is back.
    ASSERT_EQ(cli(folder, {"init", "--database", cluster->url()}).code, 0);
    ASSERT_EQ(cli(folder, {"employee", "add", "--name", "张三", "--card", "A1"}).code, 0);
    cluster->stop();
    const auto restart = qScopeGuard([&] { cluster->start(); });
    test::CliResult r = cli(folder, {"punch", "A1", "--slot", "0", "--at", "2024-03-07 08:05:00"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith("数据库服务器 " + display() + " 不可用：")) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains("kq-secret"));
    EXPECT_TRUE(dataFiles(folder).isEmpty());
    cluster->start();
    r = cli(folder, {"punch", "A1", "--slot", "0", "--at", "2024-03-07 08:05:00"});
    EXPECT_EQ(r.code, 0) << qPrintable(r.err);
}

TEST_F(CliServerTest, MigrateMovesAFolderOntoAnEmptyServerAndBackKeepingEveryReport) {
    ASSERT_EQ(cli(folder, {"init"}).code, 0);
    ASSERT_EQ(cli(folder, {"employee", "add", "--name", "张三", "--card", "A1"}).code, 0);
    ASSERT_EQ(cli(folder, {"punch", "A1", "--slot", "0", "--at", "2024-03-07 08:05:00"}).code, 0);
    ASSERT_EQ(cli(folder, {"punch", "A1", "--slot", "1", "--at", "2024-03-08 11:05:00"}).code, 0);
    ASSERT_EQ(cli(folder, {"notice", "add", "2024-03-07", "今天 'x'"}).code, 0);
    // The calendar (which the absent days of the report follow) and the correction log go along.
    ASSERT_EQ(cli(folder, {"calendar", "add", "2024-03-06", "--holiday", "假日"}).code, 0);
    ASSERT_EQ(cli(folder, {"punch", "A1", "--slot", "0", "--at", "2024-03-01 08:00:00"}).code, 0);
    ASSERT_EQ(cli(folder, {"delete", "2024-03-01", "2024-03-01"}).out, "1\n");
    const QStringList report{"query", "--from", "2024-03-01", "--to", "2024-03-09"};
    const QString before = cli(folder, report).out;

    test::CliResult r = cli(folder, {"migrate", "--to", cluster->url()});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out,
              "WorkList\t2\nInform\t1\nWorkCalendar\t1\nAuditLog\t1\ndocuments\t7\ndatabase\tPostgreSQL " +
                  display() + "\n");
    EXPECT_EQ(cli(folder, report).out, before);
    EXPECT_EQ(cli(folder, {"audit", "verify"}).out, "修改记录完整，共 1 条。\n");
    EXPECT_TRUE(cli(folder, {"settings", "show"}).out.contains("PostgreSQL"));
    r = cli(folder, {"migrate", "--to", cluster->url()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("已在数据库服务器")) << qPrintable(r.err);

    // A second folder of files is not poured onto a server that holds records.
    const QString other = dir.filePath("Other");
    ASSERT_EQ(cli(other, {"init"}).code, 0);
    r = cli(other, {"migrate", "--to", cluster->url()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("已有考勤记录")) << qPrintable(r.err);
    EXPECT_EQ(cli(folder, report).out, before);

    const QString back = dir.filePath("Back");
    r = cli(folder, {"migrate", "--to-folder", back});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(
        r.out.startsWith("WorkList\t2\nInform\t1\nWorkCalendar\t1\nAuditLog\t1\ndocuments\t7\nfolder\t"))
        << qPrintable(r.out);
    EXPECT_EQ(cli(back, report).out, before);
    EXPECT_EQ(cli(back, {"audit", "verify"}).out, "修改记录完整，共 1 条。\n");
    EXPECT_TRUE(cli(back, {"settings", "show"}).out.contains("\tSQLite\n"));
    EXPECT_EQ(cli(folder, {"migrate", "--to-folder", back}).code, 1); // never over existing data
    EXPECT_EQ(cli(folder, {"migrate"}).code, 2);
}
