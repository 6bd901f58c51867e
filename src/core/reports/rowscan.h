#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct pg_conn;

namespace kq {

// A read-only connection of its own to the records of KQDataBase: on SQLite to its WorkList.db
// file, on the server a second connection to the same database. The one place such connections
// are opened. After holdSnapshot() every select through it sees the table as it stood at that
// moment, until the reader goes, while other connections go on writing: in WAL mode a reader never
// makes a writer wait, it only keeps checkpoints from passing its mark; on the server it is one
// REPEATABLE READ read-only transaction.
class WorkListReader {
public:
    WorkListReader(); // throws KqError
    ~WorkListReader();
    WorkListReader(const WorkListReader&) = delete;
    WorkListReader& operator=(const WorkListReader&) = delete;
    // Begins a read transaction and reads once, so that the snapshot is taken now. Throws KqError.
    void holdSnapshot();
    sqlite3* handle() const { return m_db.get(); }   // on SQLite, else nullptr
    pg_conn* serverHandle() const { return m_conn; } // on the server, else nullptr
    [[noreturn]] void fail() const;

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Close> m_db;
    QString m_serverConnection; // the name of the reader's own server connection
    pg_conn* m_conn = nullptr;
};

// Reads the rows of one select on WorkList, handing out the values as the engine holds them, for
// report passes over a whole period: converting every value into a QVariant, as the Qt drivers
// do, costs more than the scan itself. Through the given reader; without one, on SQLite through a
// reader of its own, on the server through a cursor on KQDataBase's own connection, fetched in
// batches (inside the caller's transaction, else in a read-only one of its own for the life of
// the scan, so that its rows are one snapshot). Values bind positionally (text or whole numbers).
// Throws KqError.
class RowScan {
public:
    RowScan(const QString& sql, const QVariantList& values);
    RowScan(std::shared_ptr<WorkListReader> reader, const QString& sql, const QVariantList& values);
    ~RowScan();
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    bool next();
    QByteArrayView text(int column) const; // UTF-8; empty for null
    bool isNull(int column) const;
    qint64 integer(int column) const; // 0 for null
    // The value as the Qt driver gives it: null, a whole number, a real number, text or bytes.
    QVariant value(int column) const;

    // One engine's way of reading the rows.
    class Source {
    public:
        virtual ~Source() = default;
        virtual bool next() = 0;
        virtual QByteArrayView text(int column) const = 0;
        virtual bool isNull(int column) const = 0;
        virtual qint64 integer(int column) const = 0;
        virtual QVariant value(int column) const = 0;
    };

private:
    std::shared_ptr<WorkListReader> m_reader; // outlives the source
    std::unique_ptr<Source> m_source;
};

// The server's source (serverrowscan.cpp): a cursor on conn, or on KQDataBase's connection when
// conn is null.
std::unique_ptr<RowScan::Source> OpenServerRowScan(pg_conn* conn, const QString& sql,
                                                   const QVariantList& values);
// A second connection to the server of KQDataBase under connectionName, and its handle.
pg_conn* OpenServerReader(const QString& connectionName);
// Begins the reader's REPEATABLE READ read-only transaction and takes its snapshot.
void HoldServerSnapshot(pg_conn* conn);

} // namespace kq
