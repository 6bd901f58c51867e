#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>

namespace kq {

// Name of the one connection every statement uses.
inline const QString kConnectionName = QStringLiteral("KQDataBase");

// Opens the connection KQDataBase on WorkList.db of folder and attaches Inform.db (tables
// WorkList and Inform), creating missing files and tables. Write-ahead log with
// synchronous=FULL: a committed statement survives a power cut, and readers (a backup taking a
// database's image among them) never hold up a writer. The log (-wal, -shm) belongs with its
// file; only a consistent image of a database is ever copied. Throws KqError when a file cannot be
// opened or upgraded.
void OpenKQDataBase(const QString& folder);
void CloseKQDataBase();
bool IsKQDataBaseOpen();
QSqlDatabase KQDataBase();

// Creates the two database files of folder with their tables when missing, without opening
// the connection (first-run content).
void EnsureDatabaseFiles(const QString& folder);

// Opens the WorkList.db file at path on a connection of its own (a restored file before it is put
// in place), brings its layout up to date and runs work on that connection; the file is closed,
// its log folded in, before this returns. Throws KqError.
void WithWorkListFile(const QString& path, const std::function<void(QSqlDatabase&)>& work);

// Prepares and runs sql with positional (?) or named (:name) values bound in order; throws
// KqError with the engine's message when it fails.
QSqlQuery ExecSql(const QString& sql, const QVariantList& values = {});

// One transaction on KQDataBase: rolled back on destruction unless committed. With writeLock, the
// transaction takes that table's write lock at the start, with a statement that writes nothing, so
// a concurrent writer is waited for rather than failing a later read-then-write at once.
class Transaction {
public:
    explicit Transaction(const QString& writeLock = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    bool m_open = false;
};

// The time columns T0 … T19 and their count.
inline constexpr int kSlotCount = 20;
QString SlotColumn(int slot);

} // namespace kq
