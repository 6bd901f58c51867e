#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace kq {

// A read-only SQLite connection of its own to the WorkList.db file of KQDataBase: the one place
// such connections are opened. After holdSnapshot() every select through it sees the table as it
// stood at that moment, until the connection closes, while other connections go on writing: in
// WAL mode a reader never makes a writer wait, it only keeps checkpoints from passing its mark.
class WorkListReader {
public:
    WorkListReader(); // throws KqError
    WorkListReader(const WorkListReader&) = delete;
    WorkListReader& operator=(const WorkListReader&) = delete;
    // Begins a read transaction and reads once, so that the snapshot is taken now. Throws KqError.
    void holdSnapshot();
    sqlite3* handle() const { return m_db.get(); }
    [[noreturn]] void fail() const;

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Close> m_db;
};

// Reads the rows of one select on the WorkList.db file of KQDataBase through a read-only SQLite
// connection of its own (or a given reader's), handing out the values as the engine holds them. For report
// passes over a whole period: converting every value into a QVariant, as the Qt driver does, costs more than
// the scan itself. Values bind positionally (text or whole numbers). Throws KqError.
class RowScan {
public:
    RowScan(const QString& sql, const QVariantList& values);
    RowScan(std::shared_ptr<WorkListReader> reader, const QString& sql, const QVariantList& values);
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    bool next();                           // moves to the next row; false at the end
    QByteArrayView text(int column) const; // UTF-8; empty for null
    bool isNull(int column) const;
    qint64 integer(int column) const; // 0 for null
    // The value as the Qt driver gives it: null, a whole number, a real number, text or bytes.
    QVariant value(int column) const;

private:
    [[noreturn]] void fail() const;

    struct Finalize {
        void operator()(sqlite3_stmt* stmt) const;
    };
    std::shared_ptr<WorkListReader> m_reader;
    std::unique_ptr<sqlite3_stmt, Finalize> m_stmt; // finalized before the reader closes
};

} // namespace kq
