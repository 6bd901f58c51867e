#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/kqerror.h"
#include "core/data/ownerlock.h"
#include "core/maintenance/auditlog.h"
#include "core/maintenance/backupcommands.h"
#include "core/maintenance/databasesnapshot.h"
#include "core/maintenance/folderclaim.h"
#include "core/maintenance/localfiles.h"
#include "core/maintenance/perioddelete.h"
#include "core/maintenance/restorestage.h"
#include "core/maintenance/sqliteimage.h"
#include "core/shell/logon.h"
#include "support/archivebytes.h"
#include "support/clirunner.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlError>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace kq;

namespace {

// An archive of one database file, as a restore of it would find it.
QByteArray DatabaseArchive(const QByteArray& database) {
    QList<QByteArray> pieces;
    for (int at = 0; at < database.size(); at += 16384)
        pieces << database.mid(at, 16384);
    return test::ArchiveBuilder().header().entry("c:\\kq\\data\\worklist.db").ec2(pieces).end().bytes;
}

// The names of the rows of a WorkList.db file.
QStringList WorkListNames(const QString& file) {
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("select Name from WorkList order by Name")) << q.lastError().text().toStdString();
        while (q.next())
            out << q.value(0).toString();
    }
    QSqlDatabase::removeDatabase("check");
    return out;
}

} // namespace

class BackupCommandsTest : public test::DataFolderTest {
protected:
    QString archive() const { return outside.filePath(QStringLiteral("backup.bak")); }
    // The backup the command makes of the data folder.
    void backUp() {
        TBackupFile bf;
        PrepareBackup(bf, archive());
        ASSERT_EQ(BackupDataFolder(bf, DataFolder(), archive()), BackupResult::Written);
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
    // Every entry of the data folder but the installation's own files (staging folders would
    // show as sub-folders).
    QStringList folderEntries() const {
        QStringList out;
        for (const QString& name :
             QDir(DataFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
            if (!IsLocalFile(name)) out << name;
        return out;
    }
    // The data folder's files and their bytes, the installation's own files aside.
    QMap<QString, QByteArray> contents() const {
        QMap<QString, QByteArray> out;
        for (const QString& name : QDir(DataFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            if (!IsLocalFile(name)) out.insert(name, test::ReadAll(path(name)));
        return out;
    }
    QString lastError() const {
        for (auto it = fakes->prompter->boxes.crbegin(); it != fakes->prompter->boxes.crend(); ++it)
            if (it->kind == "error") return it->text;
        return {};
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
    QStringList expected = {"BlankReson.dat", "Department.dat", "Employee.dat", "FuncList.dat", "Inform.db",
                            "RigthTable.dat", "ShiftTime.dat",  "SysSetup.Dat", "WorkList.db",  "extra.txt"};
    EXPECT_EQ(folderEntries(), expected); // stored in lower case, back under the folder's spelling
    // The file of passwords stays readable by its owner only, as it is when written.
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
    EXPECT_FALSE(QFileInfo(path("Employee.dat")).permissions() & others);
    EXPECT_TRUE(QFileInfo(path("Department.dat")).permissions() & QFileDevice::ReadOther);
}

TEST_F(BackupCommandsTest, RestoredClearPasswordsSignInAndAreHashedThen) {
    // Employee.dat as an older version wrote it: clear passwords in a field 10 bytes wide.
    const QByteArray old =
        R"({"fields":[{"name":"SName","type":"string","width":15},{"name":"IsOperator","type":"boolean"},)"
        R"({"name":"Password","type":"string","width":10},{"name":"Rigth","type":"integer"},)"
        R"({"name":"IDNo","type":"integer"},{"name":"Dept","type":"integer"},)"
        R"({"name":"CardNo","type":"string","width":45}],)"
        R"("rows":[["管理员",true,"8888",1,0,0,""],["Clerk",true,"Secret",4,1,0,""]]})";
    test::WriteAll(
        outside.filePath("old.bak"),
        test::ArchiveBuilder().header().entry("c:\\kq\\data\\employee.dat").ec2({old}).end().bytes);
    TBackupFile bf;
    ASSERT_TRUE(RestoreDataFolder(bf, DataFolder(), outside.filePath("old.bak")))
        << lastError().toStdString();
    ASSERT_TRUE(SignIn("clerk", "SECRET"));
    const QByteArray now = test::ReadAll(path("Employee.dat"));
    EXPECT_FALSE(now.contains("Secret"));
    EXPECT_TRUE(now.contains("\"8888\"")); // the others change at their own sign-in
    EXPECT_TRUE(SignIn("Clerk", "secret"));
    EXPECT_FALSE(SignIn("Clerk", "Secret1"));
    EXPECT_TRUE(SignIn("管理员", "8888"));
    EXPECT_FALSE(test::ReadAll(path("Employee.dat")).contains("\"8888\""));
}

using BackupLogTest = test::OnEachEngine<BackupCommandsTest>;
KQ_ON_EACH_ENGINE(BackupLogTest);

TEST_P(BackupLogTest, TheCorrectionLogIsCarriedAndARestoreAddsItsEntry) {
    addRow("张三");
    DeletePeriod(QDate(2024, 3, 1), QDate(2024, 3, 1)); // entry 1
    backUp();
    QFile file(archive()); // the date of the archive is its file's
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(18, 0, 2)), QFileDevice::FileModificationTime));
    file.close();
    addRow("李四");
    DeletePeriod(QDate(2024, 3, 1), QDate(2024, 3, 1)); // entry 2, gone with the restore
    TBackupFile bf;
    ASSERT_TRUE(RestoreDataFolder(bf, DataFolder(), archive()));
    const QList<AuditEntry> log = ReadAuditLog();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].RecordKey.left(13), "2024-03-01 张三");
    EXPECT_EQ(log[1].Kind, "恢复");
    EXPECT_TRUE(log[1].NewValues.contains(R"("ArchiveDate":"2024-03-05 18:00:02")"))
        << log[1].NewValues.toStdString();
    EXPECT_TRUE(log[1].NewValues.contains("backup.bak"));
    EXPECT_TRUE(VerifyAuditLog().intact());

    // An archive without the records leaves the log in place, and the restore is added to it.
    const QByteArray departments = ReadDocument(DataFile("Department.dat"), "Department.dat").content;
    test::WriteAll(
        outside.filePath("departments.bak"),
        test::ArchiveBuilder().header().entry("c:\\kq\\data\\department.dat").ec2({departments}).end().bytes);
    TBackupFile other;
    ASSERT_TRUE(RestoreDataFolder(other, DataFolder(), outside.filePath("departments.bak")))
        << lastError().toStdString();
    const QList<AuditEntry> after = ReadAuditLog();
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after[1].EntryHash, log[1].EntryHash);
    EXPECT_EQ(after[2].Kind, "恢复");
    EXPECT_TRUE(after[2].NewValues.contains("departments.bak"));
    EXPECT_TRUE(VerifyAuditLog().intact());
}

TEST_F(BackupCommandsTest, FailedOrRefusedRestoresLeaveTheFolderAsItWasAndSayWhy) {
    addRow("张三");
    backUp();
    const QByteArray whole = test::ReadAll(archive());
    addRow("李四");
    CloseKQDataBase(); // the database file alone holds every row
    OpenKQDataBase(DataFolder());
    QByteArray corrupt = test::ReadAll(path("WorkList.db"));
    ASSERT_GE(corrupt.size(), 5 * 4096);
    corrupt.replace(3 * 4096, 4096, QByteArray(4096, '\x5a')); // page 4, an index
    const QMap<QString, QByteArray> before = contents();
    const QStringList entries = folderEntries();

    struct Case {
        QString name;
        QByteArray bytes; // empty: no archive
        QString why;      // how the reason shown begins; empty when only the component reports
    };
    const QList<Case> cases = {
        {"cut.bak", whole.left(whole.size() - 10), {}},
        {"missing.bak", {}, {}},
        {"garbage.bak",
         test::ArchiveBuilder()
             .header()
             .entry("c:\\kq\\data\\employee.dat")
             .ec2({"x"})
             .entry("c:\\kq\\data\\worklist.db")
             .ec2({"this is not a database"})
             .end()
             .bytes,
         "恢复的数据库文件 WorkList.db 不能使用：file is not a database"},
        {"corrupt.bak", DatabaseArchive(corrupt), "恢复的数据库文件 WorkList.db 不能使用："},
        // Names an older writer stored as "?" for characters GBK lacks.
        {"twice.bak",
         test::ArchiveBuilder()
             .header()
             .entry("c:\\kq\\data\\??.txt")
             .ec2({"a"})
             .entry("c:\\kq\\data\\??.txt")
             .ec2({"b"})
             .end()
             .bytes,
         "备份文件中有多个文件恢复后同名：??.txt"},
    };
    for (const Case& c : cases) {
        const QString bad = outside.filePath(c.name);
        if (!c.bytes.isEmpty()) test::WriteAll(bad, c.bytes);
        fakes->prompter->boxes.clear();
        TBackupFile bf;
        bool restored = false;
        const bool ran = ShowingFailure([&] { restored = RestoreDataFolder(bf, DataFolder(), bad); });
        EXPECT_FALSE(ran && restored) << c.name.toStdString();
        EXPECT_TRUE(lastError().startsWith(c.why)) << lastError().toStdString();
        if (c.why.endsWith("：")) {
            EXPECT_GT(lastError().size(), c.why.size()) << c.name.toStdString(); // the engine's reason
        }
        EXPECT_TRUE(IsKQDataBaseOpen()) << c.name.toStdString();
        EXPECT_EQ(names(), QStringList({"张三", "李四"})) << c.name.toStdString();
        EXPECT_EQ(contents(), before) << c.name.toStdString();
        EXPECT_EQ(folderEntries(), entries) << c.name.toStdString();
    }
}

TEST_F(BackupCommandsTest, DatabasesAreStoredAsTheirLastCommitWhetherReadInPlaceOrCopied) {
    for (const bool olderReader : {false, true}) {
        ExecSql("delete from WorkList");
        // A reader that began before the last commit keeps that commit in the log: then the image
        // is copied; otherwise the file itself is read while it is held unchanged.
        QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "reader");
        reader.setDatabaseName(path("WorkList.db"));
        ASSERT_TRUE(reader.open());
        QSqlQuery r(reader);
        if (olderReader) {
            ASSERT_TRUE(r.exec("BEGIN"));
            ASSERT_TRUE(r.exec("select count(*) from WorkList") && r.next());
        }
        addRow("张三"); // committed into the write-ahead log
        ASSERT_GT(QFileInfo(path("WorkList.db-wal")).size(), 0);
        // A writer in the middle of a transaction neither waits for the backup nor gets into it.
        QSqlDatabase writer = QSqlDatabase::addDatabase("QSQLITE", "writer");
        writer.setDatabaseName(path("WorkList.db"));
        ASSERT_TRUE(writer.open());
        QSqlQuery w(writer);
        ASSERT_TRUE(w.exec("BEGIN IMMEDIATE"));
        ASSERT_TRUE(w.exec("insert into WorkList (DDate, Name) values ('2024-03-02', '李四')"));

        QStringList files;
        GetDirFileName(DataFolder(), files);
        {
            const DatabaseSnapshot snapshot(DataFolder(), files);
            EXPECT_EQ(snapshot.copied(path("WorkList.db")), olderReader);
        }
        backUp();
        EXPECT_TRUE(QDir(DataFolder()).entryList({".snapshot-*"}, QDir::Dirs | QDir::Hidden).isEmpty());
        TBackupFile unpack;
        QDir(outside.filePath("unpacked")).removeRecursively();
        ASSERT_TRUE(unpack.Restore(archive(), outside.filePath("unpacked")));
        EXPECT_EQ(DatabaseProblem(outside.filePath("unpacked/worklist.db")), "");
        EXPECT_EQ(WorkListNames(outside.filePath("unpacked/worklist.db")), QStringList({"张三"}))
            << olderReader;

        ASSERT_TRUE(w.exec("ROLLBACK"));
        r.finish();
        w.finish();
        reader.close();
        writer.close();
        reader = writer = QSqlDatabase();
        QSqlDatabase::removeDatabase("reader");
        QSqlDatabase::removeDatabase("writer");
    }
}

TEST_F(BackupCommandsTest, ABackupKeepsThisProcesssHoldOnTheDatabases) {
    addRow("张三");
    backUp();
    // A command that ends while this process has the database open is not its last user, so it
    // leaves the log alone; had the backup's reading dropped this process's locks on the file,
    // the command would take the log away under this connection.
    const test::CliResult r = test::RunCli({"--data", DataFolder(), "employee", "list"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(path("WorkList.db-wal")));
    addRow("李四");
    EXPECT_EQ(names(), QStringList({"张三", "李四"}));
}

TEST_F(BackupCommandsTest, LocalFilesAreNeitherArchivedNorRestored) {
    addRow("张三");
    test::WriteAll(path("datasets.lock"), "lock");
    test::WriteAll(path("old.db-journal"), "journal");
    backUp();
    QStringList stored;
    for (const test::ParsedEntry& e : test::ParseVolume(test::ReadAll(archive())).entries)
        stored << QFileInfo(QString::fromLatin1(e.name).replace('\\', '/')).fileName();
    EXPECT_TRUE(stored.contains("worklist.db"));
    EXPECT_TRUE(stored.contains("inform.db"));
    for (const QString& name : stored)
        EXPECT_FALSE(IsLocalFile(name)) << name.toStdString();

    // An archive that holds files by the names of local files: they are not restored over them.
    test::WriteAll(path(kOwnerLockName), "held");
    test::WriteAll(outside.filePath("local.bak"), test::ArchiveBuilder()
                                                      .header()
                                                      .entry("c:\\kq\\data\\owner.lock")
                                                      .ec2({"theirs"})
                                                      .entry("c:\\kq\\data\\datasets.lock")
                                                      .ec2({"theirs"})
                                                      .entry("c:\\kq\\data\\worklist.db-wal")
                                                      .ec2({"a log of another database"})
                                                      .entry("c:\\kq\\data\\extra.txt")
                                                      .ec2({"restored"})
                                                      .end()
                                                      .bytes);
    TBackupFile bf;
    ASSERT_TRUE(RestoreDataFolder(bf, DataFolder(), outside.filePath("local.bak")))
        << lastError().toStdString();
    EXPECT_EQ(test::ReadAll(path("extra.txt")), "restored");
    EXPECT_EQ(test::ReadAll(path(kOwnerLockName)), "held");
    EXPECT_EQ(test::ReadAll(path("datasets.lock")), "lock");
    EXPECT_EQ(test::ReadAll(path("old.db-journal")), "journal");
    EXPECT_EQ(names(), QStringList({"张三"}));
}

TEST_F(BackupCommandsTest, FilesWhoseNamesDifferOnlyInCaseAreRefusedNotSkipped) {
    test::WriteAll(path("a.txt"), "a");
    test::WriteAll(path("A.txt"), "A");
    TBackupFile bf;
    PrepareBackup(bf, archive());
    EXPECT_FALSE(ShowingFailure([&] { BackupDataFolder(bf, DataFolder(), archive()); }));
    EXPECT_TRUE(lastError().contains("A.txt、a.txt")) << lastError().toStdString();
    EXPECT_FALSE(QFile::exists(archive()));
}

TEST_F(BackupCommandsTest, RestoreIsRefusedWhileTheProgramHoldsTheFolder) {
    addRow("张三");
    backUp();
    addRow("李四");
    OwnerLock program; // another process running on the folder
    ASSERT_TRUE(program.set(DataFolder(), OwnerLock::Program));
    TBackupFile bf;
    EXPECT_FALSE(ShowingFailure([&] { RestoreDataFolder(bf, DataFolder(), archive()); }));
    EXPECT_TRUE(lastError().startsWith("考勤程序正在使用数据文件夹")) << lastError().toStdString();
    EXPECT_EQ(names(), QStringList({"张三", "李四"}));
    ASSERT_TRUE(program.set(DataFolder(), OwnerLock::Unlocked));
    EXPECT_TRUE(RestoreDataFolder(bf, DataFolder(), archive()));
    EXPECT_EQ(names(), QStringList({"张三"}));
    EXPECT_EQ(DataFolderLock().mode(), OwnerLock::Unlocked); // given back as it was
}

// A restore killed after each step of its swap, as by kill -9, leaves the old data or the
// restored data once the next process has taken the folder; never a mix, never leftovers.
TEST_F(BackupCommandsTest, AKillAtAnyStepOfTheSwapLeavesTheOldOrTheRestoredData) {
    GTEST_FLAG_SET(death_test_style, "fast");
    addRow("张三");
    backUp();
    addRow("李四");
    test::WriteAll(path("Employee.dat"), "changed");
    test::WriteAll(path("extra.txt"), "not in the archive");
    CloseKQDataBase(); // a connection must not cross into the child
    const QMap<QString, QByteArray> old = contents();
    const auto reset = [&] {
        for (const QString& name : QDir(DataFolder()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(path(name));
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            test::WriteAll(path(it.key()), it.value());
    };
    {
        TBackupFile bf;
        ASSERT_TRUE(RestoreDataFolder(bf, DataFolder(), archive()));
        CloseKQDataBase();
    }
    const QMap<QString, QByteArray> restored = contents();
    ASSERT_NE(restored, old);
    const QString stage = QFileInfo(QDir::cleanPath(DataFolder())).absolutePath() + "/." +
                          QFileInfo(QDir::cleanPath(DataFolder())).fileName() + ".restore";

    bool killed = true;
    int step = 0;
    while (killed) {
        ++step;
        reset();
        EXPECT_EXIT(
            {
                SetRestoreStepHook([step](int s) {
                    if (s == step) std::raise(SIGKILL);
                });
                TBackupFile bf;
                std::_Exit(RestoreDataFolder(bf, DataFolder(), archive()) ? 0 : 1);
            },
            [&](int status) {
                killed = WIFSIGNALED(status);
                return killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
            },
            "");
        ClaimDataFolder(DataFolder(), OwnerLock::Command);
        DataFolderLock().set(DataFolder(), OwnerLock::Unlocked);
        const QMap<QString, QByteArray> now = contents();
        EXPECT_TRUE(now == old || now == restored) << "killed after step " << step;
        EXPECT_FALSE(QFileInfo::exists(stage)) << step;
    }
    EXPECT_GT(step, 10); // every move of the swap was a step
    OpenKQDataBase(DataFolder());
}
