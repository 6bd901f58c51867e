#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/maintenance/auditlog.h"
#include "core/maintenance/backupcommands.h"
#include "core/maintenance/servertransfer.h"
#include "core/reports/correction.h"
#include "core/setup/workcalendar.h"
#include "support/tempdata.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

// Every row of WorkList and Inform and the departments, as text: what must survive a copy.
QStringList Records() {
    QStringList out;
    QSqlQuery q = ExecSql("select ISn, DDate, Name, T0, T1, LeaveType, Comment from WorkList order by ISn");
    while (q.next()) {
        QStringList row;
        for (int c = 0; c < 7; ++c)
            row << (q.value(c).isNull() ? "<null>" : q.value(c).toString());
        out << row.join('|');
    }
    q = ExecSql("select rowid, WDate, Inform from Inform order by rowid");
    while (q.next())
        out << q.value(0).toString() + '|' + q.value(1).toString() + '|' + q.value(2).toString();
    for (const CalendarDay& day : ReadCalendar())
        out << DateText(day.date) + '|' + QString::number(int(day.kind)) + '|' + day.name;
    DataSet departments;
    departments.open(DataFile("Department.dat"), "ID");
    for (departments.first(); !departments.eof(); departments.next())
        out << departments.asString("DeptName");
    return out;
}

} // namespace

class ServerTransferTest : public test::DataFolderTest {
protected:
    EngineKind engine() const override { return EngineKind::PostgreSQL; }
    void SetUp() override {
        test::DataFolderTest::SetUp();
        ExecSql("insert into WorkList (DDate, Name, T0, T1, LeaveType, Comment) values "
                "('2024-03-01', '张三', '08:00:00', '12:00:00', 2, 'tab\tand\\nnewline\nand \\ slash')");
        ExecSql("insert into WorkList (DDate, Name, T0) values ('2024-03-02', 'O''Neil', '')");
        ExecSql("insert into WorkList (DDate, T0) values ('2024-03-02', '07:00:00')");
        ExecSql("delete from WorkList where Name = 'O''Neil'"); // a gap in the row numbers
        ExecSql("insert into WorkList (DDate, Name) values ('2024-03-03', 'O''Neil')");
        ExecSql("insert into Inform (WDate, Inform) values ('2024-03-01', '{\\rtf1 公告}')");
        SetCalendarDay({QDate(2024, 10, 1), CalendarKind::Holiday, "国庆节"});
        SetCalendarDay({QDate(2024, 9, 29), CalendarKind::Workday, "调休"});
        ExecSql("insert into WorkList (DDate, Name, T0) values ('2024-03-04', '临时', '08:00:00')");
        DeleteDay(QDate(2024, 3, 4), "临时"); // an entry in the correction log
        DataSet departments;
        departments.open(DataFile("Department.dat"), "ID");
        departments.update([&] { departments.appendRecord({2, "仓库"}); });
        recorded = Records();
        logged = ReadAuditLog();
    }
    // The log holds what it held at the backup and, after it, the entry of the restore.
    void expectRestoredLog(const QString& archive) {
        const QList<AuditEntry> log = ReadAuditLog();
        ASSERT_EQ(log.size(), logged.size() + 1);
        for (int i = 0; i < logged.size(); ++i)
            EXPECT_EQ(log[i].EntryHash, logged[i].EntryHash);
        EXPECT_EQ(log.last().Kind, kAuditRestore);
        EXPECT_TRUE(log.last().NewValues.contains(QFileInfo(archive).fileName()))
            << qPrintable(log.last().NewValues);
        EXPECT_TRUE(VerifyAuditLog().intact());
    }
    QStringList recorded;
    QList<AuditEntry> logged;
    QTemporaryDir outside;
};

TEST_F(ServerTransferTest, AServerBackupRestoresIntoEitherEngine) {
    const QString archive = outside.filePath("server.bak");
    {
        TBackupFile bf;
        PrepareBackup(bf, archive);
        ASSERT_EQ(BackupDataFolder(bf, DataFolder(), archive), BackupResult::Written);
        QStringList names;
        for (const QString& name : bf.ListedNames())
            names << QFileInfo(name).fileName();
        names.sort();
        EXPECT_EQ(names, QStringList({"blankreson.dat", "department.dat", "employee.dat", "funclist.dat",
                                      "inform.db", "rigthtable.dat", "shifttime.dat", "syssetup.dat",
                                      "worklist.db"}));
    }

    // Changes after the backup are undone by the restore, all of them, and new rows number on.
    ExecSql("update WorkList set T1 = '11:00:00'");
    ExecSql("insert into WorkList (DDate, Name) values ('2024-03-09', '新人')");
    DeleteCalendarDay(QDate(2024, 10, 1));
    SetCalendarDay({QDate(2024, 10, 2), CalendarKind::Holiday, "国庆节"});
    DeleteDay(QDate(2024, 3, 3), "O'Neil");
    DataSet departments;
    departments.open(DataFile("Department.dat"), "ID");
    departments.update([&] { departments.appendRecord({3, "车间"}); });
    TBackupFile restore;
    ASSERT_TRUE(RestoreDataFolder(restore, DataFolder(), archive)) << qPrintable(fakes->prompter->lastText());
    EXPECT_EQ(Records(), recorded);
    expectRestoredLog(archive);
    QSqlQuery q = ExecSql("insert into WorkList (DDate, Name) values ('2024-03-10', '新人') returning ISn");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), 5);
    ExecSql("delete from WorkList where ISn = 5");
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.dat", "*.db"}, QDir::Files).isEmpty());

    // The same archive into a folder of SQLite files.
    CloseKQDataBase();
    SetEngine({});
    QTemporaryDir files;
    SetDataFolder(files.path());
    TBackupFile intoFiles;
    ASSERT_TRUE(RestoreDataFolder(intoFiles, DataFolder(), archive))
        << qPrintable(fakes->prompter->lastText());
    OpenKQDataBase(DataFolder());
    EXPECT_EQ(Records(), recorded);
    expectRestoredLog(archive);
}

TEST_F(ServerTransferTest, MovingToFilesAndBackKeepsEveryRecordAndCount) {
    QTemporaryDir files;
    const DataCounts written = ExportServerData(files.path());
    EXPECT_EQ(written.text(), "WorkList 3 行，Inform 1 行，WorkCalendar 2 行，AuditLog 1 行，7 个数据文件");
    EXPECT_EQ(FolderCounts(files.path()), written);
    EXPECT_THROW(ExportServerData(files.path()), KqError); // never over a folder's data files

    ExecSql("delete from WorkList");
    ExecSql("delete from Inform");
    ExecSql("delete from WorkCalendar");
    ExecSql("delete from AuditLog");
    EXPECT_EQ(ImportServerData(files.path()), written);
    EXPECT_EQ(ServerCounts(), written);
    EXPECT_EQ(Records(), recorded);
    EXPECT_EQ(ReadAuditLog().size(), 1);
    EXPECT_EQ(ReadAuditLog()[0].EntryHash, logged[0].EntryHash);

    // A WorkList.db of a layout before the calendar and the log leaves the server's as they are.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "older");
        db.setDatabaseName(files.filePath("WorkList.db"));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("drop table WorkCalendar");
        QSqlQuery(db).exec("drop table AuditLog");
    }
    QSqlDatabase::removeDatabase("older");
    EXPECT_EQ(FolderCounts(files.path()).calendar, -1);
    EXPECT_EQ(ImportServerData(files.path()), written);
    EXPECT_EQ(Records(), recorded);
    EXPECT_TRUE(VerifyAuditLog().intact());
}

TEST_F(ServerTransferTest, ARestoreIntoTheServerIsAllOrNothing) {
    QTemporaryDir files;
    ExportServerData(files.path());
    const QString before = QString::fromUtf8(DocumentStamp(DataFile("Department.dat")));
    ExecSql("insert into WorkList (DDate, Name) values ('2024-03-09', '新人')");
    const QStringList now = Records();

    // The server refuses a row in the middle of the copy: nothing of the restore stays.
    failInserts("WorkList", "refused", "new.Name = '张三'");
    EXPECT_THROW(ImportServerData(files.path()), KqError);
    allowInserts("WorkList");
    EXPECT_EQ(Records(), now);
    EXPECT_EQ(QString::fromUtf8(DocumentStamp(DataFile("Department.dat"))), before);

    // Two rows of one person and day (possible in SQLite files) are refused before anything is
    // written, naming them.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "twice");
        db.setDatabaseName(files.filePath("WorkList.db"));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("insert into WorkList (DDate, Name) values ('2024-03-01', '张三')");
    }
    QSqlDatabase::removeDatabase("twice");
    try {
        ImportServerData(files.path());
        FAIL() << "duplicates copied";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().contains("“张三”在 2024-03-01 有多条考勤记录")) << qPrintable(e.message());
    }
    EXPECT_EQ(Records(), now);
}
