#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariantList>
#include <memory>

namespace kq {

// Reads the rows of one select on WorkList, handing out the values as the engine holds them, for
// report passes over a whole period: converting every value into a QVariant, as the Qt drivers
// do, costs more than the scan itself. On SQLite through a read-only connection of its own on the
// WorkList.db file of KQDataBase; on the server through a cursor on KQDataBase's own connection,
// fetched in batches (inside the caller's transaction, else in a read-only one of its own for the
// life of the scan, so that its rows are one snapshot). Values bind positionally (text or whole
// numbers). Throws KqError.
class RowScan {
public:
    RowScan(const QString& sql, const QVariantList& values);
    ~RowScan();
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    bool next();                           // moves to the next row; false at the end
    QByteArrayView text(int column) const; // UTF-8; empty for null
    bool isNull(int column) const;
    qint64 integer(int column) const; // 0 for null

    // One engine's way of reading the rows.
    class Source {
    public:
        virtual ~Source() = default;
        virtual bool next() = 0;
        virtual QByteArrayView text(int column) const = 0;
        virtual bool isNull(int column) const = 0;
        virtual qint64 integer(int column) const = 0;
    };

private:
    std::unique_ptr<Source> m_source;
};

// The server's source (serverrowscan.cpp).
std::unique_ptr<RowScan::Source> OpenServerRowScan(const QString& sql, const QVariantList& values);

} // namespace kq
