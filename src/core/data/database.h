#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace kq {

// Name of the one connection every statement uses.
inline const QString kConnectionName = QStringLiteral("KQDataBase");

// Opens the connection KQDataBase of the engine of this run (see engine.h). On SQLite: on
// WorkList.db of folder, attaching Inform.db (tables WorkList and Inform), creating missing files
// and tables. On PostgreSQL: on the server, creating missing tables (see serverdatabase.h);
// nothing is written to folder. Write-ahead log with
// synchronous=FULL: a committed statement survives a power cut, and readers (a backup taking a
// database's image among them) never hold up a writer. The log (-wal, -shm) belongs with its
// file; only a consistent image of a database is ever copied. Throws KqError when a file cannot be
// opened or upgraded.
void OpenKQDataBase(const QString& folder);
void CloseKQDataBase();
bool IsKQDataBaseOpen();
QSqlDatabase KQDataBase();

// Creates the two database files of folder with their tables when missing, without opening
// the connection (first-run content). Nothing on the server.
void EnsureDatabaseFiles(const QString& folder);
// The same whatever the engine (files that take the server's records).
void CreateDatabaseFiles(const QString& folder);

// On the server: opens KQDataBase again when its connection was lost, so that the next
// statement works once the server is back. Throws KqError naming the server when it is still
// unreachable, and when the connection is held (ConnectionHold). Nothing on SQLite. ExecSql,
// CachedSql and Transaction call it first.
void ReviveKQDataBase();

// Opens the WorkList.db file at path on a connection of its own (a restored file before it is put
// in place), brings its layout up to date and runs work on that connection; the file is closed,
// its log folded in, before this returns. Throws KqError.
void WithWorkListFile(const QString& path, const std::function<void(QSqlDatabase&)>& work);

// Prepares and runs sql with positional (?) or named (:name) values bound in order; throws
// KqError with the engine's message when it fails (naming the server when its connection broke).
QSqlQuery ExecSql(const QString& sql, const QVariantList& values = {});

// ExecSql for statements run again and again (a punch): prepared once for the life of the
// connection, so that the server gets one round trip per run. The query is shared: read its rows
// before the next CachedSql of the same text.
QSqlQuery& CachedSql(const QString& sql, const QVariantList& values = {});

// While one lives, a lost server connection is not opened again (ReviveKQDataBase throws): the
// rest of an open transaction must never run, committed piecemeal, on a new connection.
class ConnectionHold {
public:
    ConnectionHold();
    ~ConnectionHold();
    ConnectionHold(const ConnectionHold&) = delete;
    ConnectionHold& operator=(const ConnectionHold&) = delete;
};

// One transaction on KQDataBase: rolled back on destruction unless committed. The connection is
// held meanwhile (ConnectionHold). With writeLock, on SQLite the transaction takes that table's
// write lock at the start, with a statement that writes nothing, so a concurrent writer is waited
// for rather than failing a later read-then-write at once; the server's row locks wait anyway.
class Transaction {
public:
    explicit Transaction(const QString& writeLock = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    bool m_open = false;
    std::optional<ConnectionHold> m_hold;
};

// The time columns T0 … T19 and their count.
inline constexpr int kSlotCount = 20;
QString SlotColumn(int slot);

} // namespace kq
