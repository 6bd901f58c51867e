#include "core/data/database.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/data/serverdatabase.h"
#include "core/reports/rowscan.h"

#include "core/data/libpq.h"
#include <QSqlDatabase>
#include <optional>

namespace kq {

namespace {

// Rows a fetch brings over at once: large enough that the round trips vanish in the transfer,
// small enough that memory stays flat over years of records.
constexpr int kFetchRows = 8192;

// sql with its positional ? replaced by $1, $2 … (none of our statements quotes a ?).
QByteArray NumberedParameters(const QString& sql) {
    QString out;
    int n = 0;
    bool quoted = false;
    for (const QChar c : sql) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (c == QLatin1Char('?') && !quoted)
            out += QStringLiteral("$%1").arg(++n);
        else
            out += c;
    }
    return out.toUtf8();
}

class Result {
public:
    explicit Result(PGresult* r = nullptr) : m_r(r) {}
    ~Result() { Pq().PQclear(m_r); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    void reset(PGresult* r) {
        Pq().PQclear(m_r);
        m_r = r;
    }
    PGresult* get() const { return m_r; }
    ExecStatusType status() const { return Pq().PQresultStatus(m_r); }

private:
    PGresult* m_r;
};

class ServerSource : public RowScan::Source {
public:
    ServerSource(pg_conn* conn, const QString& sql, const QVariantList& values) : m_conn(conn) {
        if (!m_conn) {
            ReviveKQDataBase();
            m_hold.emplace(); // m_conn stays the connection's for the life of the scan
            m_conn = ServerHandle(KQDataBase());
        }
        const PGTransactionStatusType status = Pq().PQtransactionStatus(m_conn);
        if (status == PQTRANS_IDLE) {
            command("BEGIN READ ONLY");
            m_ownTransaction = true;
        } else if (status != PQTRANS_INTRANS) {
            fail();
        }
        static int serial = 0;
        m_cursor = "kq_scan_" + QByteArray::number(++serial);
        QList<QByteArray> texts;
        QList<const char*> pointers;
        for (const QVariant& v : values)
            texts << (v.isNull() ? QByteArray() : v.toString().toUtf8());
        for (int i = 0; i < values.size(); ++i)
            pointers << (values.at(i).isNull() ? nullptr : texts.at(i).constData());
        const QByteArray declare = "DECLARE " + m_cursor + " NO SCROLL CURSOR FOR " + NumberedParameters(sql);
        Result r(Pq().PQexecParams(m_conn, declare.constData(), int(pointers.size()), nullptr,
                                   pointers.constData(), nullptr, nullptr, 0));
        if (r.status() != PGRES_COMMAND_OK) {
            const QString reason = message();
            end();
            throw KqError(reason);
        }
        m_declared = true;
    }

    ~ServerSource() override { end(); }

    bool next() override {
        if (++m_row < m_rows) return true;
        if (m_finished) return false;
        const QByteArray fetch = "FETCH FORWARD " + QByteArray::number(kFetchRows) + " FROM " + m_cursor;
        m_batch.reset(Pq().PQexec(m_conn, fetch.constData()));
        if (m_batch.status() != PGRES_TUPLES_OK) fail();
        m_rows = Pq().PQntuples(m_batch.get());
        m_row = 0;
        m_finished = m_rows < kFetchRows;
        return m_rows > 0;
    }

    QByteArrayView text(int column) const override {
        if (Pq().PQgetisnull(m_batch.get(), m_row, column)) return {};
        return QByteArrayView(Pq().PQgetvalue(m_batch.get(), m_row, column),
                              Pq().PQgetlength(m_batch.get(), m_row, column));
    }

    bool isNull(int column) const override { return Pq().PQgetisnull(m_batch.get(), m_row, column) != 0; }

    qint64 integer(int column) const override {
        if (isNull(column)) return 0;
        return QByteArray::fromRawData(Pq().PQgetvalue(m_batch.get(), m_row, column),
                                       Pq().PQgetlength(m_batch.get(), m_row, column))
            .toLongLong();
    }

    // As Qt's driver gives it: whole and real numbers by the column's type, text otherwise.
    QVariant value(int column) const override {
        if (isNull(column)) return {};
        switch (Pq().PQftype(m_batch.get(), column)) {
        case kInt8Oid:
        case kInt2Oid:
        case kInt4Oid:
            return qlonglong(integer(column));
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid:
            return text(column).toDouble();
        default:
            return QString::fromUtf8(text(column));
        }
    }

private:
    // The type numbers of the server's built-in number types.
    static constexpr Oid kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kFloat4Oid = 700, kFloat8Oid = 701,
                         kNumericOid = 1700;

    QString message() const {
        const QString reason = QString::fromUtf8(Pq().PQerrorMessage(m_conn)).trimmed();
        if (Pq().PQstatus(m_conn) != CONNECTION_OK) return ServerFailure(CurrentEngine().server, reason);
        return reason;
    }

    [[noreturn]] void fail() const { throw KqError(message()); }

    void command(const char* sql) {
        Result r(Pq().PQexec(m_conn, sql));
        if (r.status() != PGRES_COMMAND_OK) fail();
    }

    // Closes the cursor and ends the scan's own transaction; never throws.
    void end() {
        m_batch.reset(nullptr);
        if (!m_conn || Pq().PQstatus(m_conn) != CONNECTION_OK) return;
        if (m_declared && !m_ownTransaction && Pq().PQtransactionStatus(m_conn) == PQTRANS_INTRANS)
            Pq().PQclear(Pq().PQexec(m_conn, ("CLOSE " + m_cursor).constData()));
        if (m_ownTransaction) Pq().PQclear(Pq().PQexec(m_conn, "COMMIT"));
        m_declared = m_ownTransaction = false;
    }

    std::optional<ConnectionHold> m_hold;
    pg_conn* m_conn = nullptr;
    QByteArray m_cursor;
    bool m_ownTransaction = false;
    bool m_declared = false;
    Result m_batch;
    int m_rows = 0;
    int m_row = -1;
    bool m_finished = false;
};

} // namespace

std::unique_ptr<RowScan::Source> OpenServerRowScan(pg_conn* conn, const QString& sql,
                                                   const QVariantList& values) {
    return std::make_unique<ServerSource>(conn, sql, values);
}

pg_conn* OpenServerReader(const QString& connectionName) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    try {
        ConnectServerDatabase(db, CurrentEngine().server);
        return ServerHandle(db);
    } catch (const KqError&) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

void HoldServerSnapshot(pg_conn* conn) {
    // The snapshot is taken at the transaction's first statement, not at its BEGIN.
    for (const char* sql : {"BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", "SELECT 1"}) {
        Result r(Pq().PQexec(conn, sql));
        if (r.status() != PGRES_COMMAND_OK && r.status() != PGRES_TUPLES_OK) {
            const QString reason = QString::fromUtf8(Pq().PQerrorMessage(conn)).trimmed();
            throw KqError(Pq().PQstatus(conn) != CONNECTION_OK ? ServerFailure(CurrentEngine().server, reason)
                                                               : reason);
        }
    }
}

} // namespace kq
