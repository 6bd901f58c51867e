#include "archivebytes.h"
#include "data/database.h"
#include "data/datafolder.h"
#include "data/dataset.h"
#include "data/kqerror.h"
#include "maintenance/backupcommands.h"
#include "tempdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace kq;

class BackupCommandsTest : public test::DataFolderTest {
protected:
    QString archive() const { return outside.filePath(QStringLiteral("backup.bak")); }
    // The backup the command makes of the data folder.
    void backUp() {
        TBackupFile bf;
        PrepareBackup(bf, archive());
        ASSERT_EQ(BackupDataFolder(bf, DataFolder(), archive()), std::optional<bool>(true));
    }
    void addRow(const QString& name) {
        ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-01", name});
    }
    QStringList names() {
        QStringList out;
        QSqlQuery q = ExecSql("select Name from WorkList order by Name");
        while (q.next())
            out << q.value(0).toString();
        return out;
    }
    // Every file of the data folder (staging folders would show as sub-folders).
    QStringList folderEntries() const {
        return QDir(DataFolder())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir outside;
};

TEST_F(BackupCommandsTest, ListsEveryFileOfTheFolderButNotSubfolders) {
    QDir().mkpath(path("sub"));
    test::WriteAll(path(".hidden"), "h");
    test::WriteAll(path("sub/inner.dat"), "i");
    QStringList list;
    ASSERT_TRUE(GetDirFileName(DataFolder(), list));
    EXPECT_TRUE(list.contains(QFileInfo(path(".hidden")).absoluteFilePath()));
    EXPECT_TRUE(list.contains(QFileInfo(path("WorkList.db")).absoluteFilePath()));
    EXPECT_EQ(list.size(), 10); // nine data files and the hidden one
    QStringList none;
    EXPECT_FALSE(GetDirFileName(path("sub/nothing"), none));

    struct Case {
        const char* path;
        bool floppy;
    };
    for (const Case c : {Case{"A:\\x.bak", true},
                         {"a:/x.bak", true},
                         {"C:\\a.bak", false},
                         {"archive.bak", false},
                         {"/a:/x", false}})
        EXPECT_EQ(IsFloppyPath(c.path), c.floppy) << c.path;
}

TEST_F(BackupCommandsTest, FloppyArchivesGetTheMessageAndFloppyVolumes) {
    TBackupFile bf;
    PrepareBackup(bf, "a:\\kq.bak");
    EXPECT_EQ(bf.MaxSize, kFloppyVolumeSize);
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"请在软盘驱动器A:中插入空白磁盘！"}));
    PrepareBackup(bf, archive());
    EXPECT_EQ(bf.MaxSize, 0);
    EXPECT_EQ(bf.BackupTitle, "Venmar软件");
    EXPECT_EQ(fakes->prompter->boxes.size(), 1);
}

TEST_F(BackupCommandsTest, RestorePutsTheArchivedFilesBackAndReopensTheTables) {
    addRow("张三");
    backUp();
    addRow("李四");
    test::WriteAll(path("Employee.dat"), "changed");
    test::WriteAll(path("extra.txt"), "not in the archive");
    TBackupFile bf;
    ASSERT_TRUE(RestoreDataFolder(bf, DataFolder(), archive()));
    EXPECT_EQ(names(), QStringList({"张三"}));
    EXPECT_NE(test::ReadAll(path("Employee.dat")), "changed");
    DataSet employees;
    employees.open(DataFile("Employee.dat"), "SName");
    EXPECT_GT(employees.recordCount(), 0);
    QStringList expected = {"BlankReson.dat", "Department.dat", "Employee.dat",  "FuncList.dat",
                            "Inform.db",      "RigthTable.dat", "ShiftTime.dat", "SysSetup.Dat",
                            "WorkList.db",    "datasets.lock",  "extra.txt"};
    EXPECT_EQ(folderEntries(), expected); // stored in lower case, back under the folder's spelling
}

TEST_F(BackupCommandsTest, FailedOrUndoneRestoresLeaveTheFolderAsItWas) {
    addRow("张三");
    backUp();
    const QByteArray whole = test::ReadAll(archive());
    addRow("李四");
    const QByteArray employees = test::ReadAll(path("Employee.dat"));
    const QStringList before = folderEntries();

    const QString cut = outside.filePath("cut.bak");
    test::WriteAll(cut, whole.left(whole.size() - 10));
    const QString notADatabase = outside.filePath("garbage.bak");
    test::WriteAll(notADatabase, test::ArchiveBuilder()
                                     .header()
                                     .entry("c:\\kq\\data\\employee.dat")
                                     .ec2({"x"})
                                     .entry("c:\\kq\\data\\worklist.db")
                                     .ec2({"this is not a database"})
                                     .end()
                                     .bytes);
    for (const QString& bad : {cut, notADatabase, outside.filePath("missing.bak")}) {
        TBackupFile bf;
        bf.OnError = [](TBackupFile*, qint32, const QString&) {};
        bool ok = true;
        try {
            ok = RestoreDataFolder(bf, DataFolder(), bad);
        } catch (const KqError&) {
            ok = false;
        }
        EXPECT_FALSE(ok) << bad.toStdString();
        EXPECT_TRUE(IsKQDataBaseOpen()) << bad.toStdString();
        EXPECT_EQ(names(), QStringList({"张三", "李四"})) << bad.toStdString();
        EXPECT_EQ(test::ReadAll(path("Employee.dat")), employees) << bad.toStdString();
        EXPECT_EQ(folderEntries(), before) << bad.toStdString();
    }
}
