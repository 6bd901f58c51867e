#include "support/tempdata.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/tables.h"
#include "core/shell/operatorinfo.h"
#include "support/pgcluster.h"

#include <QSqlError>

namespace kq::test {

void DataFolderTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    fakes = new Fakes;
    SetDataFolder(dir.path());
    Engine chosen;
    PgCluster* cluster = onServer() ? PgCluster::shared() : nullptr;
    if (cluster) {
        cluster->reset();
        chosen = {EngineKind::PostgreSQL, cluster->address()};
    }
    SetEngine(chosen);
    CreateMissingDataFiles(DataFolder());
    OpenKQDataBase(DataFolder());
    CurOperator() = TOperatorInfo();
    // Without a server the test is skipped; the folder above keeps a derived SetUp working.
    if (onServer() && !cluster) GTEST_SKIP() << qPrintable(PgCluster::missingReason());
}

void DataFolderTest::TearDown() {
    CloseKQDataBase();
    SetEngine({});
    delete fakes;
}

QString DataFolderTest::path(const QString& name) const {
    return DataFolder() + name;
}

void DataFolderTest::writeShifts(const QList<QVariantList>& rows) {
    DataSet::writeFile(path(QStringLiteral("ShiftTime.dat")), ShiftTimeFields(), rows);
}

void DataFolderTest::writeDayShifts() {
    writeShifts({{1, QStringLiteral("早班"), QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), true,
                  true, true},
                 {2, QStringLiteral("午班"), QStringLiteral("13:30:00"), QStringLiteral("17:30:00"), true,
                  true, true}});
}

void DataFolderTest::writeEmployees(const QList<QVariantList>& rows) {
    DataSet::writeFile(path(QStringLiteral("Employee.dat")), EmployeeFields(), rows);
}

int DataFolderTest::countRows(const QString& sql, const QVariantList& values) {
    QSqlQuery q = ExecSql(sql, values);
    return q.next() ? q.value(0).toInt() : -1;
}

QStringList DataFolderTest::cliOptions() const {
    QStringList options{QStringLiteral("--data"), DataFolder()};
    if (CurrentEngine().kind == EngineKind::PostgreSQL)
        options << QStringLiteral("--database") << PgCluster::shared()->url(CurrentEngine().server.database);
    return options;
}

void DataFolderTest::removeDataFile(const QString& name) {
    if (CurrentEngine().kind == EngineKind::PostgreSQL)
        ExecSql(QStringLiteral("delete from DataDocument where Name = ?"), {name});
    else
        ASSERT_TRUE(QFile::remove(path(name))) << qPrintable(name);
}

namespace {

// Statements the server does not prepare (triggers and functions) run unprepared.
void Unprepared(const QString& sql) {
    QSqlQuery q(KQDataBase());
    ASSERT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text());
}

} // namespace

void DataFolderTest::failInserts(const QString& table, const QString& message, const QString& when) {
    if (CurrentEngine().kind == EngineKind::PostgreSQL) {
        Unprepared(QStringLiteral("create function kq_refuse() returns trigger as $$ begin if %1 then raise "
                                  "exception '%2'; end if; return new; end $$ language plpgsql")
                       .arg(when, message));
        Unprepared(QStringLiteral("create trigger kq_refuse before insert on %1 for each row execute "
                                  "function kq_refuse()")
                       .arg(table));
    } else {
        Unprepared(QStringLiteral("create trigger kq_refuse before insert on %1 when %2 begin select "
                                  "raise(abort, '%3'); end")
                       .arg(table, when, message));
    }
}

void DataFolderTest::allowInserts(const QString& table) {
    if (CurrentEngine().kind == EngineKind::PostgreSQL) {
        Unprepared(QStringLiteral("drop trigger kq_refuse on %1").arg(table));
        Unprepared(QStringLiteral("drop function kq_refuse()"));
    } else {
        Unprepared(QStringLiteral("drop trigger kq_refuse"));
    }
}

QSqlDatabase DataFolderTest::openOtherConnection(const QString& name, const QString& sqliteOptions) const {
    QSqlDatabase other;
    if (CurrentEngine().kind == EngineKind::PostgreSQL) {
        const ServerAddress& a = CurrentEngine().server;
        other = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        other.setHostName(a.host);
        other.setPort(a.port);
        other.setUserName(a.user);
        other.setPassword(a.password);
        other.setDatabaseName(a.database);
    } else {
        other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(path(QStringLiteral("WorkList.db")));
        other.setConnectOptions(sqliteOptions);
    }
    EXPECT_TRUE(other.open());
    return other;
}

std::string EngineName(const ::testing::TestParamInfo<EngineKind>& info) {
    return info.param == EngineKind::PostgreSQL ? "PostgreSQL" : "SQLite";
}

} // namespace kq::test
