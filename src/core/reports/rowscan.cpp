#include "core/reports/rowscan.h"

#include "core/data/database.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"

#include <sqlite3.h>

namespace kq {

namespace {

class SqliteSource : public RowScan::Source {
public:
    SqliteSource(const QString& sql, const QVariantList& values) {
        const QSqlDatabase db = KQDataBase();
        if (db.driverName() != QLatin1String("QSQLITE"))
            throw KqError(QStringLiteral("报表扫描需要 SQLite 数据库，当前为 %1").arg(db.driverName()));
        const QByteArray file = db.databaseName().toUtf8();
        sqlite3* handle = nullptr;
        const int opened = sqlite3_open_v2(file.constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
        m_db.reset(handle);
        if (opened != SQLITE_OK) fail();
        sqlite3_busy_timeout(m_db.get(), 5000);
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        const int prepared =
            sqlite3_prepare_v2(m_db.get(), text.constData(), int(text.size()), &stmt, nullptr);
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
                rc = sqlite3_bind_text(m_stmt.get(), i + 1, utf8.constData(), int(utf8.size()),
                                       SQLITE_TRANSIENT);
            }
            if (rc != SQLITE_OK) fail();
        }
    }

    bool next() override {
        const int rc = sqlite3_step(m_stmt.get());
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }

    QByteArrayView text(int column) const override {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
        return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt.get(), column)) : QByteArrayView();
    }

    bool isNull(int column) const override {
        return sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL;
    }

    qint64 integer(int column) const override { return sqlite3_column_int64(m_stmt.get(), column); }

private:
    [[noreturn]] void fail() const {
        throw KqError(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get()))
                           : QStringLiteral("无法打开数据库"));
    }

    struct Close {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
        void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
    };
    std::unique_ptr<sqlite3, Close> m_db;
    std::unique_ptr<sqlite3_stmt, Close> m_stmt; // finalized before m_db closes
};

} // namespace

RowScan::RowScan(const QString& sql, const QVariantList& values)
    : m_source(OnServer() ? OpenServerRowScan(sql, values) : std::make_unique<SqliteSource>(sql, values)) {}

RowScan::~RowScan() = default;

bool RowScan::next() {
    return m_source->next();
}

QByteArrayView RowScan::text(int column) const {
    return m_source->text(column);
}

bool RowScan::isNull(int column) const {
    return m_source->isNull(column);
}

qint64 RowScan::integer(int column) const {
    return m_source->integer(column);
}

} // namespace kq
