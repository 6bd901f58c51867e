#include "core/reports/rowscan.h"

#include "core/data/database.h"
#include "core/data/kqerror.h"

#include <sqlite3.h>

namespace kq {

void WorkListReader::Close::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

void RowScan::Finalize::operator()(sqlite3_stmt* stmt) const {
    sqlite3_finalize(stmt);
}

WorkListReader::WorkListReader() {
    const QSqlDatabase db = KQDataBase();
    if (db.driverName() != QLatin1String("QSQLITE"))
        throw KqError(QStringLiteral("报表扫描需要 SQLite 数据库，当前为 %1").arg(db.driverName()));
    const QByteArray file = db.databaseName().toUtf8();
    sqlite3* handle = nullptr;
    const int opened = sqlite3_open_v2(file.constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    m_db.reset(handle);
    if (opened != SQLITE_OK) fail();
    sqlite3_busy_timeout(m_db.get(), 5000);
}

void WorkListReader::holdSnapshot() {
    // A deferred transaction takes its snapshot at its first read.
    if (sqlite3_exec(m_db.get(), "begin; select count(*) from sqlite_schema", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        fail();
}

void WorkListReader::fail() const {
    throw KqError(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get())) : QStringLiteral("无法打开数据库"));
}

RowScan::RowScan(const QString& sql, const QVariantList& values)
    : RowScan(std::make_shared<WorkListReader>(), sql, values) {}

RowScan::RowScan(std::shared_ptr<WorkListReader> reader, const QString& sql, const QVariantList& values)
    : m_reader(std::move(reader)) {
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int prepared =
        sqlite3_prepare_v2(m_reader->handle(), text.constData(), int(text.size()), &stmt, nullptr);
    m_stmt.reset(stmt);
    if (prepared != SQLITE_OK) fail();
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        int rc;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt.get(), i + 1);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(m_stmt.get(), i + 1, v.toLongLong());
        } else {
            const QByteArray utf8 = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt.get(), i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) fail();
    }
}

bool RowScan::next() {
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) fail();
    return false;
}

QByteArrayView RowScan::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt.get(), column)) : QByteArrayView();
}

bool RowScan::isNull(int column) const {
    return sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL;
}

qint64 RowScan::integer(int column) const {
    return sqlite3_column_int64(m_stmt.get(), column);
}

QVariant RowScan::value(int column) const {
    sqlite3_stmt* st = m_stmt.get();
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(st, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(text(column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, column)),
                          sqlite3_column_bytes(st, column));
    default:
        return {};
    }
}

void RowScan::fail() const {
    m_reader->fail();
}

} // namespace kq
