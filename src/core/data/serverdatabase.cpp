#include "core/data/serverdatabase.h"

#include "core/data/database.h"
#include "core/data/kqerror.h"

#include "core/data/libpq.h"
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace kq {

namespace {

// 2: the holiday calendar and the correction log beside the records.
constexpr int kSchemaVersion = 2;
// Any number: the key of the advisory lock under which a station creates the tables, so that two
// stations starting at once do not both try.
constexpr qint64 kSchemaLockKey = 0x6b61'6f71'696e;

QString WorkListTable() {
    QString sql = QStringLiteral("CREATE TABLE IF NOT EXISTS WorkList (ISn bigserial PRIMARY KEY, "
                                 "DDate text COLLATE \"C\", Name text COLLATE \"C\"");
    for (int i = 0; i < kSlotCount; ++i)
        sql += QStringLiteral(", T%1 text").arg(i);
    // Each slot's time in seconds, worked out once when the row is written, for the statistics
    // (see serverstatistics.h).
    QStringList unreadable;
    for (int i = 0; i < kSlotCount; ++i) {
        sql += QStringLiteral(", %1 integer GENERATED ALWAYS AS (%2) STORED")
                   .arg(SlotSecondsColumn(i), StoredTimeSeconds(SlotColumn(i)));
        unreadable << QStringLiteral("(%1 IS NOT NULL AND %1 <> '' AND (%2) IS NULL)")
                          .arg(SlotColumn(i), StoredTimeSeconds(SlotColumn(i)));
    }
    // Whether a slot holds a text only the program reads: such rows are few, and indexed.
    sql += QStringLiteral(", Unreadable boolean GENERATED ALWAYS AS (%1) STORED")
               .arg(unreadable.join(QStringLiteral(" OR ")));
    return sql + QStringLiteral(", LeaveType integer, Comment text, "
                                "CONSTRAINT WorkListNameDate UNIQUE (Name, DDate))");
}

QStringList SchemaStatements() {
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS KQSchema (Version integer NOT NULL)"), WorkListTable(),
        // The record grid's order, so that each of its pages starts at its key in the index.
        QStringLiteral("CREATE INDEX IF NOT EXISTS WorkListDate ON WorkList "
                       "(DDate NULLS FIRST, Name NULLS FIRST, ISn)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS WorkListUnreadable ON WorkList (DDate) WHERE Unreadable"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS Inform (rowid bigserial PRIMARY KEY, "
                       "WDate text COLLATE \"C\", Inform text)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS InformDate ON Inform (WDate)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS DataDocument (Name text PRIMARY KEY, "
                       "Version bigint NOT NULL, Body text NOT NULL)"),
        // The holiday and make-up workday calendar, and the correction log, with the columns of
        // the SQLite files (see database.cpp); dates and times compare as the files' texts do.
        QStringLiteral("CREATE TABLE IF NOT EXISTS WorkCalendar (DDate text COLLATE \"C\" PRIMARY KEY, "
                       "Kind integer NOT NULL, DayName text)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS AuditLog (Seq bigint PRIMARY KEY, "
                       "EntryTime text COLLATE \"C\" NOT NULL, OperatorName text, Kind text NOT NULL, "
                       "RecordKey text, OldValues text, NewValues text, PrevHash text NOT NULL, "
                       "EntryHash text NOT NULL)")};
}

// Runs sql; statements without values (the server prepares no CREATE or LOCK) run unprepared.
void Run(QSqlDatabase& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q(db);
    if (values.isEmpty()) {
        if (!q.exec(sql)) throw KqError(q.lastError().text());
        return;
    }
    if (!q.prepare(sql)) throw KqError(q.lastError().text());
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) throw KqError(q.lastError().text());
}

int StoredVersion(QSqlDatabase& db) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT max(Version) FROM KQSchema")) || !q.next())
        throw KqError(q.lastError().text());
    return q.value(0).toInt();
}

// Whether the tables are there in this program's layout: the usual case, one round trip.
bool TablesCurrent(QSqlDatabase& db) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT to_regclass('kqschema') IS NOT NULL")) || !q.next())
        throw KqError(q.lastError().text());
    return q.value(0).toBool() && StoredVersion(db) == kSchemaVersion;
}

// Creates the tables under the advisory lock, in one transaction.
void EnsureTables(QSqlDatabase& db) {
    if (TablesCurrent(db)) return;
    if (!db.transaction()) throw KqError(db.lastError().text());
    try {
        Run(db, QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {kSchemaLockKey});
        for (const QString& sql : SchemaStatements())
            Run(db, sql);
        const int stored = StoredVersion(db);
        if (stored > kSchemaVersion)
            throw KqError(
                QStringLiteral("服务器上的数据由较新版本的程序建立（版本 %1），请升级本程序。").arg(stored));
        if (stored < kSchemaVersion) {
            Run(db, QStringLiteral("DELETE FROM KQSchema"));
            Run(db, QStringLiteral("INSERT INTO KQSchema (Version) VALUES (?)"), {kSchemaVersion});
        }
        if (!db.commit()) throw KqError(db.lastError().text());
    } catch (const KqError&) {
        db.rollback();
        throw;
    }
}

} // namespace

QString StoredTimeSeconds(const QString& column) {
    return QStringLiteral(
               "CASE WHEN %1 ~ '^[0-9]{2}:[0-5][0-9]:[0-5][0-9]$' THEN (CASE WHEN substr(%1, 1, 2)::int "
               "< 24 THEN substr(%1, 1, 2)::int * 3600 + substr(%1, 4, 2)::int * 60 + substr(%1, 7, "
               "2)::int END) END")
        .arg(column);
}

QString SlotSecondsColumn(int slot) {
    return SlotColumn(slot) + QStringLiteral("Sec");
}

QString ServerFailure(const ServerAddress& server, const QString& reason) {
    return QStringLiteral("数据库服务器 %1 不可用：%2").arg(server.display(), reason.trimmed());
}

void ConnectServerDatabase(QSqlDatabase& db, const ServerAddress& server) {
    if (!db.isValid())
        throw KqError(ServerFailure(
            server, QStringLiteral("缺少 Qt 的 PostgreSQL 驱动（QPSQL，软件包 libqt6sql6-psql）")));
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setUserName(server.user);
    db.setPassword(server.password);
    db.setDatabaseName(server.database);
    // Notices (such as "already exists, skipping") are not for the operator.
    db.setConnectOptions(
        QStringLiteral("connect_timeout=5;application_name=kaoqin;options='-c client_min_messages=warning'"));
    if (!db.open()) throw KqError(ServerFailure(server, db.lastError().text()));
}

void OpenServerDatabase(QSqlDatabase& db, const ServerAddress& server) {
    ConnectServerDatabase(db, server);
    try {
        EnsureTables(db);
    } catch (const KqError& e) {
        throw KqError(ServerFailure(server, e.message()));
    }
}

namespace {

// The driver's handle, or nullptr; its type is named after the library's struct.
pg_conn* HandleOf(const QSqlDatabase& db) {
    if (!db.isOpen() || db.driverName() != QLatin1String("QPSQL")) return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<pg_conn* const*>(handle.constData());
}

} // namespace

pg_conn* ServerHandle(const QSqlDatabase& db) {
    pg_conn* conn = HandleOf(db);
    if (!conn) throw KqError(QStringLiteral("数据库服务器未连接"));
    // Qt's driver reads a forward-only query row by row and drops what is left unread only before
    // its own next statement.
    while (PGresult* left = Pq().PQgetResult(conn))
        Pq().PQclear(left);
    return conn;
}

bool ServerConnectionLost(const QSqlDatabase& db) {
    if (db.driverName() != QLatin1String("QPSQL")) return false;
    pg_conn* conn = HandleOf(db);
    return !conn || Pq().PQstatus(conn) != CONNECTION_OK;
}

ServerLink::ServerLink() : m_conn(ServerHandle(KQDataBase())) {}

ServerLink::~ServerLink() {
    if (m_open && Pq().PQstatus(m_conn) == CONNECTION_OK) Pq().PQclear(Pq().PQexec(m_conn, "ROLLBACK"));
}

void ServerLink::fail() const {
    const QString reason = QString::fromUtf8(Pq().PQerrorMessage(m_conn)).trimmed();
    if (Pq().PQstatus(m_conn) != CONNECTION_OK) throw KqError(ServerFailure(CurrentEngine().server, reason));
    throw KqError(reason);
}

void ServerLink::begin(const QByteArray& how) {
    command(how);
    m_open = true;
}

void ServerLink::commit() {
    command("COMMIT");
    m_open = false;
}

namespace {

// PQexecParams with text values; nulls as NULL.
PGresult* Exec(pg_conn* conn, const QByteArray& sql, const QList<QByteArray>& values) {
    QList<const char*> pointers;
    for (const QByteArray& v : values)
        pointers << (v.isNull() ? nullptr : v.constData());
    return Pq().PQexecParams(conn, sql.constData(), int(pointers.size()), nullptr, pointers.constData(),
                             nullptr, nullptr, 0);
}

} // namespace

qint64 ServerLink::command(const QByteArray& sql, const QList<QByteArray>& values) {
    PGresult* r = Exec(m_conn, sql, values);
    const ExecStatusType status = Pq().PQresultStatus(r);
    const qint64 rows = QByteArray(Pq().PQcmdTuples(r)).toLongLong();
    Pq().PQclear(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail();
    return rows;
}

QByteArray ServerLink::value(const QByteArray& sql, const QList<QByteArray>& values) {
    PGresult* r = Exec(m_conn, sql, values);
    if (Pq().PQresultStatus(r) != PGRES_TUPLES_OK) {
        Pq().PQclear(r);
        fail();
    }
    const QByteArray v = Pq().PQntuples(r) > 0 && !Pq().PQgetisnull(r, 0, 0)
                             ? QByteArray(Pq().PQgetvalue(r, 0, 0))
                             : QByteArray();
    Pq().PQclear(r);
    return v;
}

qint64 ServerLink::copyIn(const QByteArray& sql, const std::function<bool(QByteArray& data)>& next) {
    PGresult* r = Pq().PQexec(m_conn, sql.constData());
    const ExecStatusType status = Pq().PQresultStatus(r);
    Pq().PQclear(r);
    if (status != PGRES_COPY_IN) fail();
    QByteArray data;
    QString error;
    try {
        while (next(data)) {
            if (!data.isEmpty() && Pq().PQputCopyData(m_conn, data.constData(), int(data.size())) != 1)
                fail();
            data.clear();
        }
    } catch (const KqError& e) {
        error = e.message();
    }
    if (Pq().PQputCopyEnd(m_conn, error.isEmpty() ? nullptr : error.toUtf8().constData()) != 1) fail();
    r = Pq().PQgetResult(m_conn);
    const bool copied = Pq().PQresultStatus(r) == PGRES_COMMAND_OK;
    const qint64 rows = QByteArray(Pq().PQcmdTuples(r)).toLongLong();
    Pq().PQclear(r);
    while (PGresult* left = Pq().PQgetResult(m_conn))
        Pq().PQclear(left);
    if (!error.isEmpty()) throw KqError(error);
    if (!copied) fail();
    return rows;
}

} // namespace kq
