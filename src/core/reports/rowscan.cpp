#include "core/reports/rowscan.h"

#include "core/data/database.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"

#include <QSqlDatabase>
#include <sqlite3.h>

namespace kq {

void WorkListReader::Close::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

WorkListReader::WorkListReader() {
    if (OnServer()) {
        static int serial = 0;
        m_serverConnection = QStringLiteral("kq_reader_%1").arg(++serial);
        m_conn = OpenServerReader(m_serverConnection);
        return;
    }
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

WorkListReader::~WorkListReader() {
    if (m_serverConnection.isEmpty()) return;
    m_conn = nullptr;
    QSqlDatabase::database(m_serverConnection, false).close();
    QSqlDatabase::removeDatabase(m_serverConnection);
}

void WorkListReader::holdSnapshot() {
    if (m_conn) {
        HoldServerSnapshot(m_conn);
        return;
    }
    // A deferred transaction takes its snapshot at its first read.
    if (sqlite3_exec(m_db.get(), "begin; select count(*) from sqlite_schema", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        fail();
}

void WorkListReader::fail() const {
    throw KqError(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get())) : QStringLiteral("无法打开数据库"));
}

namespace {

class SqliteSource : public RowScan::Source {
public:
    SqliteSource(const WorkListReader& reader, const QString& sql, const QVariantList& values)
        : m_reader(reader) {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        const int prepared =
            sqlite3_prepare_v2(m_reader.handle(), text.constData(), int(text.size()), &stmt, nullptr);
        m_stmt.reset(stmt);
        if (prepared != SQLITE_OK) m_reader.fail();
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
            if (rc != SQLITE_OK) m_reader.fail();
        }
    }

    bool next() override {
        const int rc = sqlite3_step(m_stmt.get());
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) m_reader.fail();
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

    QVariant value(int column) const override {
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

private:
    struct Finalize {
        void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
    };
    const WorkListReader& m_reader;
    std::unique_ptr<sqlite3_stmt, Finalize> m_stmt;
};

} // namespace

RowScan::RowScan(const QString& sql, const QVariantList& values) : RowScan(nullptr, sql, values) {}

RowScan::RowScan(std::shared_ptr<WorkListReader> reader, const QString& sql, const QVariantList& values)
    : m_reader(std::move(reader)) {
    if (!m_reader && OnServer()) {
        m_source = OpenServerRowScan(nullptr, sql, values);
        return;
    }
    if (!m_reader) m_reader = std::make_shared<WorkListReader>();
    if (m_reader->serverHandle())
        m_source = OpenServerRowScan(m_reader->serverHandle(), sql, values);
    else
        m_source = std::make_unique<SqliteSource>(*m_reader, sql, values);
}

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

QVariant RowScan::value(int column) const {
    return m_source->value(column);
}

} // namespace kq
