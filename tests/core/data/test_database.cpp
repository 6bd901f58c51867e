#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/syssetup.h"
#include "core/shell/password.h"
#include "support/pgcluster.h"
#include "support/tempdata.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace kq;

class DatabaseTest : public test::DataFolderTest {};

TEST_F(DatabaseTest, FirstRunContentIsCompleteAndNeverOverwritten) {
    for (const QString& name : DataSetFileNames())
        EXPECT_TRUE(QFile::exists(path(name))) << name.toStdString();
    EXPECT_TRUE(QFile::exists(path("WorkList.db")));
    EXPECT_TRUE(QFile::exists(path("Inform.db")));

    DataSet groups;
    groups.open(DataFile("rigthtable.dat"), "SerialNo");
    EXPECT_GE(groups.recordCount(), 4);
    DataSet admin;
    admin.open(DataFile("EMPLOYEE.DAT"));
    ASSERT_TRUE(admin.locate("SName", {kDefaultAdminName}));
    // The delivered password is written as its hash only, salted for this folder.
    EXPECT_TRUE(IsPasswordHash(admin.asString("Password")));
    EXPECT_TRUE(VerifyPassword(admin.asString("Password"), kDefaultAdminPassword));
    QFile employees(path("Employee.dat"));
    ASSERT_TRUE(employees.open(QIODevice::ReadOnly));
    EXPECT_FALSE(employees.readAll().contains(kDefaultAdminPassword.toUtf8()));
    EXPECT_TRUE(admin.asBool("IsOperator"));
    EXPECT_EQ(admin.asInt("Rigth"), 1);
    DataSet funcs;
    funcs.open(DataFile("FuncList.dat"), "ID", "ID=1");
    EXPECT_EQ(funcs.recordCount(), 11); // the administrators hold every function
    EXPECT_EQ(ReadSysSetup().CompanyName.isEmpty(), false);

    // A file present under another letter case counts as present and keeps its content.
    QFile::rename(path("SysSetup.Dat"), path("SYSSETUP.DAT"));
    QFile f(path("SYSSETUP.DAT"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write("{\"fields\":[{\"name\":\"StartBrush\",\"type\":\"boolean\"},{\"name\":\"CompanyName\",\"type\":"
            "\"string\","
            "\"width\":40},{\"name\":\"IsBeep\",\"type\":\"boolean\"}],\"rows\":[[true,\"Mine\",false]]}");
    f.close();
    EXPECT_EQ(CreateMissingDataFiles(DataFolder()), QStringList());
    EXPECT_EQ(ReadSysSetup().CompanyName, "Mine");
    EXPECT_FALSE(QDir(DataFolder()).entryList().contains("SysSetup.Dat"));
}

TEST_F(DatabaseTest, SchemaHasIndexesAndDurableSettings) {
    QSqlQuery q =
        ExecSql("select name from sqlite_master where type='index' and tbl_name='WorkList' order by name");
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    EXPECT_TRUE(names.contains("WorkListNameDate"));
    EXPECT_TRUE(names.contains("WorkListDate"));
    for (const QString schema : {"main", "inform"}) {
        QSqlQuery s = ExecSql(QStringLiteral("PRAGMA %1.synchronous").arg(schema));
        ASSERT_TRUE(s.next());
        EXPECT_EQ(s.value(0).toInt(), 2); // FULL
        QSqlQuery j = ExecSql(QStringLiteral("PRAGMA %1.journal_mode").arg(schema));
        ASSERT_TRUE(j.next());
        EXPECT_EQ(j.value(0).toString(), "wal"); // readers, a backup among them, never hold up a punch
    }
    QSqlQuery v = ExecSql("PRAGMA inform.user_version");
    ASSERT_TRUE(v.next());
    EXPECT_EQ(v.value(0).toInt(), 1);
    ExecSql("insert into Inform (WDate, Inform) values (?, ?)", {"2024-03-07", "{\\rtf1 hi}"});
    EXPECT_EQ(countRows("select count(*) from Inform where WDate=?", {"2024-03-07"}), 1);
}

TEST_F(DatabaseTest, ValuesAreBoundNeverSpliced) {
    const QStringList names = {"a'b", "x' or '1'='1", "back\\slash", "张三", "\"quoted\""};
    for (const QString& n : names)
        ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-01-01", n});
    for (const QString& n : names)
        EXPECT_EQ(countRows("select count(*) from WorkList where Name=?", {n}), 1) << n.toStdString();
    EXPECT_THROW(ExecSql("select nonsense from nowhere"), KqError);
}

TEST_F(DatabaseTest, DatabaseFilesRenamedByHandKeepTheirRecords) {
    ExecSql("insert into WorkList (DDate, Name, T0) values (?, ?, ?)", {"2024-03-07", "张三", "08:00:00"});
    ExecSql("insert into Inform (WDate, Inform) values (?, ?)", {"2024-03-07", "{\\rtf1 hi}"});
    CloseKQDataBase();
    ASSERT_TRUE(QFile::rename(path("WorkList.db"), path("worklist.db")));
    ASSERT_TRUE(QFile::rename(path("Inform.db"), path("INFORM.DB")));

    EXPECT_EQ(CreateMissingDataFiles(DataFolder()), QStringList());
    OpenKQDataBase(DataFolder());
    EXPECT_EQ(countRows("select count(*) from WorkList where Name=?", {"张三"}), 1);
    EXPECT_EQ(countRows("select count(*) from Inform"), 1);
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-08", "李四"});
    CloseKQDataBase();
    OpenKQDataBase(DataFolder());
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
    const QStringList files = QDir(DataFolder()).entryList({"*.db", "*.DB"}, QDir::Files);
    EXPECT_EQ(files, QStringList({"INFORM.DB", "worklist.db"}));
}

TEST_F(DatabaseTest, AnOpenTransactionOutlivingTheConnectionEndsQuietly) {
    {
        Transaction transaction;
        ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-07", "张三"});
        CloseKQDataBase(); // a restore closes the connection while an operation unwinds
    }
    OpenKQDataBase(DataFolder());
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);
}

class ServerDatabaseTest : public test::DataFolderTest {
protected:
    EngineKind engine() const override { return EngineKind::PostgreSQL; }
    // Ends the server side of the program's connections, as a restart of the server would.
    static void DropConnections() {
        test::PgCluster::shared()->run(
            "select pg_terminate_backend(pid) from pg_stat_activity where application_name = 'kaoqin'");
    }
};

TEST_F(ServerDatabaseTest, ALostConnectionIsOpenedAgainButNeverInTheMiddleOfATransaction) {
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-06", "张三"});
    DropConnections();
    // The statement that finds the connection broken fails, naming the server; the next one works.
    try {
        ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-07", "张三"});
        ADD_FAILURE() << "no error";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().startsWith("数据库服务器 " + CurrentEngine().server.display()))
            << qPrintable(e.message());
    }
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-08", "张三"});

    // Within a transaction the rest of the work is refused: it would be committed on its own.
    {
        Transaction transaction;
        ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-09", "张三"});
        DropConnections();
        EXPECT_THROW(ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-10", "张三"}),
                     KqError);
        EXPECT_THROW(ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-11", "张三"}),
                     KqError);
    }
    QStringList dates;
    QSqlQuery q = ExecSql("select DDate from WorkList where Name = ? order by DDate", {"张三"});
    while (q.next())
        dates << q.value(0).toString();
    EXPECT_EQ(dates, QStringList({"2024-03-06", "2024-03-08"}));
}

TEST_F(DatabaseTest, AFileOfTheFirstLayoutGainsTheLaterTablesAndKeepsItsRows) {
    CloseKQDataBase();
    ASSERT_TRUE(QFile::remove(path("WorkList.db")));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "FirstLayout");
        db.setDatabaseName(path("WorkList.db"));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(
            q.exec("CREATE TABLE WorkList (ISn INTEGER PRIMARY KEY AUTOINCREMENT, DDate TEXT, Name TEXT, "
                   "T0 TEXT, T1 TEXT, T2 TEXT, T3 TEXT, T4 TEXT, T5 TEXT, T6 TEXT, T7 TEXT, T8 TEXT, T9 "
                   "TEXT, T10 TEXT, T11 TEXT, T12 TEXT, T13 TEXT, T14 TEXT, T15 TEXT, T16 TEXT, T17 TEXT, "
                   "T18 TEXT, T19 TEXT, LeaveType INTEGER, Comment TEXT)"));
        ASSERT_TRUE(
            q.exec("insert into WorkList (DDate, Name, T0) values ('2024-03-07', '张三', '08:00:00')"));
        ASSERT_TRUE(q.exec("PRAGMA user_version = 1"));
        db.close();
    }
    QSqlDatabase::removeDatabase("FirstLayout");

    OpenKQDataBase(DataFolder());
    EXPECT_EQ(countRows("select count(*) from WorkList"), 1);
    EXPECT_EQ(countRows("select count(*) from WorkCalendar"), 0);
    QSqlQuery v = ExecSql("PRAGMA main.user_version");
    ASSERT_TRUE(v.next());
    EXPECT_GE(v.value(0).toInt(), 2);
}
