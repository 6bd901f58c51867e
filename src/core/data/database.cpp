#include "core/data/database.h"

#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/data/serverdatabase.h"

#include <QDir>
#include <QScopeGuard>
#include <QSqlError>
#include <map>

namespace kq {

namespace {

// Layout versions (PRAGMA user_version) of the two files.
constexpr int kWorkListVersion = 3;
constexpr int kInformVersion = 1;

QString WorkListTable() {
    QString sql =
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1WorkList (ISn INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "DDate TEXT, Name TEXT");
    for (int i = 0; i < kSlotCount; ++i)
        sql += QStringLiteral(", T%1 TEXT").arg(i);
    return sql + QStringLiteral(", LeaveType INTEGER, Comment TEXT)");
}

void Run(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) throw KqError(q.lastError().text());
}

int UserVersion(QSqlDatabase& db, const QString& schema) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA %1.user_version").arg(schema)) || !q.next())
        throw KqError(q.lastError().text());
    return q.value(0).toInt();
}

// The tables that later layouts add beside the records, in plain SQL any engine takes.
QStringList AddedTables(const QString& p) {
    return {
        // The holiday and make-up workday calendar: one entry per date, Kind 1 a holiday, 2 a workday.
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1WorkCalendar (DDate VARCHAR(10) PRIMARY KEY, "
                       "Kind INTEGER NOT NULL, DayName VARCHAR(40))")
            .arg(p),
        // The correction log: each entry carries the hash of the one before (core/maintenance/auditlog.h).
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS %1AuditLog (Seq INTEGER PRIMARY KEY, EntryTime VARCHAR(19) NOT NULL, "
            "OperatorName TEXT, Kind TEXT NOT NULL, RecordKey TEXT, OldValues TEXT, NewValues TEXT, "
            "PrevHash VARCHAR(64) NOT NULL, EntryHash VARCHAR(64) NOT NULL)")
            .arg(p),
    };
}

// Numbered upgrade steps per file; version 1 is the first layout. A file of an older layout gets
// the steps it lacks, so older folders and restored archives keep opening.
void UpgradeWorkList(QSqlDatabase& db, const QString& schema) {
    const int version = UserVersion(db, schema);
    if (version >= kWorkListVersion) return;
    const QString p = schema + QLatin1Char('.');
    if (version < 1) {
        Run(db, WorkListTable().arg(p));
        Run(db,
            QStringLiteral("CREATE INDEX IF NOT EXISTS %1WorkListNameDate ON WorkList (Name, DDate)").arg(p));
        Run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS %1WorkListDate ON WorkList (DDate)").arg(p));
    }
    for (const QString& sql : AddedTables(p))
        Run(db, sql);
    Run(db, QStringLiteral("PRAGMA %1.user_version = %2").arg(schema).arg(kWorkListVersion));
}

void UpgradeInform(QSqlDatabase& db, const QString& schema) {
    if (UserVersion(db, schema) >= kInformVersion) return;
    const QString p = schema + QLatin1Char('.');
    Run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1Inform (WDate TEXT, Inform TEXT)").arg(p));
    Run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS %1InformDate ON Inform (WDate)").arg(p));
    Run(db, QStringLiteral("PRAGMA %1.user_version = %2").arg(schema).arg(kInformVersion));
}

void Configure(QSqlDatabase& db, const QString& schema) {
    Run(db, QStringLiteral("PRAGMA %1.journal_mode = WAL").arg(schema));
    Run(db, QStringLiteral("PRAGMA %1.synchronous = FULL").arg(schema));
}

QString Folder(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

void OpenOn(QSqlDatabase& db, const QString& folder) {
    // Found ignoring letter case, as the dataset files are: a folder copied by hand as
    // "worklist.db" keeps its records instead of getting a new empty file beside it.
    db.setDatabaseName(ResolveFileName(folder + QStringLiteral("WorkList.db")));
    if (!db.open()) throw KqError(db.lastError().text());
    Configure(db, QStringLiteral("main"));
    UpgradeWorkList(db, QStringLiteral("main"));
    QSqlQuery attach(db);
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS inform"));
    attach.addBindValue(ResolveFileName(folder + QStringLiteral("Inform.db")));
    if (!attach.exec()) throw KqError(attach.lastError().text());
    Configure(db, QStringLiteral("inform"));
    UpgradeInform(db, QStringLiteral("inform"));
}

// Prepared statements kept for the life of the connection (see CachedSql).
std::map<QString, QSqlQuery>& Cache() {
    static std::map<QString, QSqlQuery> cache;
    return cache;
}

int& Holds() {
    static int holds = 0;
    return holds;
}

// The statement's failure; on the server, a connection that broke names the server.
KqError StatementError(const QSqlQuery& q) {
    const QString reason = q.lastError().text();
    if (OnServer() && ServerConnectionLost(KQDataBase()))
        return KqError(ServerFailure(CurrentEngine().server, reason));
    return KqError(reason);
}

} // namespace

void OpenKQDataBase(const QString& folder) {
    CloseKQDataBase();
    QSqlDatabase db = QSqlDatabase::addDatabase(
        OnServer() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), kConnectionName);
    try {
        if (OnServer())
            OpenServerDatabase(db, CurrentEngine().server);
        else
            OpenOn(db, Folder(folder));
    } catch (const KqError&) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnectionName);
        throw;
    }
}

void CloseKQDataBase() {
    Cache().clear();
    if (!QSqlDatabase::contains(kConnectionName)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
}

bool IsKQDataBaseOpen() {
    return QSqlDatabase::contains(kConnectionName) && QSqlDatabase::database(kConnectionName, false).isOpen();
}

QSqlDatabase KQDataBase() {
    if (!QSqlDatabase::contains(kConnectionName)) throw KqError(QStringLiteral("数据库 KQDataBase 未连接"));
    return QSqlDatabase::database(kConnectionName, false);
}

void ReviveKQDataBase() {
    if (!OnServer() || !QSqlDatabase::contains(kConnectionName)) return;
    QSqlDatabase db = QSqlDatabase::database(kConnectionName, false);
    if (!ServerConnectionLost(db)) return;
    if (Holds() > 0)
        throw KqError(
            ServerFailure(CurrentEngine().server, QStringLiteral("连接已中断，未完成的操作已撤销")));
    Cache().clear();
    db.close();
    if (!db.open()) throw KqError(ServerFailure(CurrentEngine().server, db.lastError().text()));
}

void EnsureDatabaseFiles(const QString& folder) {
    if (!OnServer()) CreateDatabaseFiles(folder); // the server's tables come with its connection
}

namespace {

// Runs use on a SQLite connection of its own named name, closed and removed afterwards, also when
// use throws.
void WithSqliteConnection(const QString& name, const std::function<void(QSqlDatabase&)>& use) {
    const auto remove = qScopeGuard([&] { QSqlDatabase::removeDatabase(name); });
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    const auto close = qScopeGuard([&] {
        db.close();
        db = QSqlDatabase();
    });
    use(db);
}

} // namespace

void CreateDatabaseFiles(const QString& folder) {
    WithSqliteConnection(QStringLiteral("KQFirstRun"), [&](QSqlDatabase& db) { OpenOn(db, Folder(folder)); });
}

void WithWorkListFile(const QString& path, const std::function<void(QSqlDatabase&)>& work) {
    WithSqliteConnection(QStringLiteral("KQWorkListFile"), [&](QSqlDatabase& db) {
        db.setDatabaseName(path);
        if (!db.open()) throw KqError(db.lastError().text());
        Configure(db, QStringLiteral("main"));
        UpgradeWorkList(db, QStringLiteral("main"));
        work(db);
    });
}

QSqlQuery ExecSql(const QString& sql, const QVariantList& values) {
    ReviveKQDataBase();
    QSqlQuery q(KQDataBase());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) throw StatementError(q);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) throw StatementError(q);
    return q;
}

QSqlQuery& CachedSql(const QString& sql, const QVariantList& values) {
    ReviveKQDataBase();
    auto it = Cache().find(sql);
    if (it == Cache().end()) {
        QSqlQuery q(KQDataBase());
        q.setForwardOnly(true);
        if (!q.prepare(sql)) throw StatementError(q);
        it = Cache().emplace(sql, q).first;
    }
    QSqlQuery& q = it->second;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec()) {
        const KqError error = StatementError(q);
        Cache().erase(it);
        throw error;
    }
    return q;
}

ConnectionHold::ConnectionHold() {
    ++Holds();
}

ConnectionHold::~ConnectionHold() {
    --Holds();
}

Transaction::Transaction(const QString& writeLock) {
    ReviveKQDataBase();
    QSqlDatabase db = KQDataBase();
    if (!db.transaction()) throw KqError(db.lastError().text());
    m_hold.emplace();
    if (!writeLock.isEmpty() && !OnServer()) {
        try {
            ExecSql(QStringLiteral("delete from %1 where 0").arg(writeLock));
        } catch (const KqError&) {
            db.rollback();
            throw;
        }
    }
    m_open = true;
}

// Never throws: an operation may unwind after the connection was closed (a restore closes it).
Transaction::~Transaction() {
    if (m_open && IsKQDataBaseOpen()) QSqlDatabase::database(kConnectionName, false).rollback();
}

void Transaction::commit() {
    QSqlDatabase db = KQDataBase();
    if (!db.commit()) throw KqError(db.lastError().text());
    m_open = false;
    m_hold.reset();
}

QString SlotColumn(int slot) {
    return QStringLiteral("T%1").arg(slot);
}

} // namespace kq
