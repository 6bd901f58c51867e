#include "archivebytes.h"
#include "clirunner.h"

#include <QFile>
#include <QRandomGenerator>
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
    EXPECT_TRUE(QFile::exists(dir.filePath("kq.002")));
    EXPECT_TRUE(QFile::exists(dir.filePath("kq.004")));

    ASSERT_EQ(test::RunCli({"--data", data, "employee", "add", "--name", "新人", "--card", "9"}).code, 0);
    test::WriteAll(data + "/noise.bin", "overwritten");
    r = test::RunCli({"--data", data, "restore", archive});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
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
