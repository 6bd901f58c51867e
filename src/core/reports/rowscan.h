#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace kq {

// Reads the rows of one select on the WorkList.db file of KQDataBase through a read-only SQLite
// connection of its own, handing out the values as the engine holds them. For report passes
// over a whole period: converting every value into a QVariant, as the Qt driver does, costs
// more than the scan itself. Values bind positionally (text or whole numbers). Throws KqError.
class RowScan {
public:
    RowScan(const QString& sql, const QVariantList& values);
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    bool next();                           // moves to the next row; false at the end
    QByteArrayView text(int column) const; // UTF-8; empty for null
    bool isNull(int column) const;
    qint64 integer(int column) const; // 0 for null

private:
    [[noreturn]] void fail() const;

    struct Close {
        void operator()(sqlite3* db) const;
        void operator()(sqlite3_stmt* stmt) const;
    };
    std::unique_ptr<sqlite3, Close> m_db;
    std::unique_ptr<sqlite3_stmt, Close> m_stmt; // finalized before m_db closes
};

} // namespace kq
