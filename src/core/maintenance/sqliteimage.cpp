#include "core/maintenance/sqliteimage.h"

#include "core/data/kqerror.h"

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <memory>

#include <sqlite3.h>

namespace kq {

namespace {

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;

constexpr int kBusyTimeoutMs = 5000;

QString Reason(sqlite3* db, int rc) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

Db Open(const QByteArray& name, int flags, QString* problem) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &handle, flags, nullptr);
    Db db(handle);
    if (rc != SQLITE_OK) {
        *problem = Reason(db.get(), rc);
        return nullptr;
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    return db;
}

} // namespace

void TakeDatabaseImage(const QString& source, const QString& target) {
    QString problem;
    const Db from = Open(source.toUtf8(), SQLITE_OPEN_READWRITE, &problem);
    if (!from) throw KqError(QStringLiteral("%1：%2").arg(source, problem));
    const Db to = Open(target.toUtf8(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &problem);
    if (!to) throw KqError(QStringLiteral("%1：%2").arg(target, problem));
    // The image is read once right after; it needs neither a journal nor flushes to the disk.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) throw KqError(QStringLiteral("%1：%2").arg(source, Reason(to.get(), SQLITE_ERROR)));
    // All pages in one step, so the copy comes from one read transaction and never starts over.
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK)
        throw KqError(QStringLiteral("%1：%2").arg(source, Reason(to.get(), finished)));
}

ReadSnapshot::ReadSnapshot(const QString& path) {
    QString problem;
    Db db = Open(path.toUtf8(), SQLITE_OPEN_READWRITE, &problem);
    if (!db) throw KqError(QStringLiteral("%1：%2").arg(path, problem));
    if (sqlite3_exec(db.get(), "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        throw KqError(QStringLiteral("%1：%2").arg(path, Reason(db.get(), SQLITE_ERROR)));
    // Another connection copies the log's pages up to this transaction's end into the file (after
    // a first read, by which it learns that the file is in log mode); the whole log is copied only
    // when nothing was committed after the transaction began.
    const Db other = Open(path.toUtf8(), SQLITE_OPEN_READWRITE, &problem);
    int logged = -1;
    int copied = -1;
    m_fileHoldsIt = other &&
                    sqlite3_exec(other.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                 nullptr) == SQLITE_OK &&
                    sqlite3_wal_checkpoint_v2(other.get(), "main", SQLITE_CHECKPOINT_PASSIVE, &logged,
                                              &copied) == SQLITE_OK &&
                    logged >= 0 && logged == copied;
    if (m_fileHoldsIt &&
        sqlite3_file_control(db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &m_file) != SQLITE_OK)
        m_fileHoldsIt = false;
    m_db = db.release();
}

ReadSnapshot::~ReadSnapshot() {
    sqlite3_close(m_db); // ends the transaction
}

namespace {

// A database file read through a connection's file handle.
class HandleDevice : public QIODevice {
public:
    explicit HandleDevice(sqlite3_file* file) : m_file(file) {
        sqlite3_int64 size = 0;
        m_size = m_file->pMethods->xFileSize(m_file, &size) == SQLITE_OK ? size : -1;
        if (m_size >= 0) open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = qMin(max, m_size - pos());
        if (n <= 0) return 0;
        return m_file->pMethods->xRead(m_file, data, int(n), pos()) == SQLITE_OK ? n : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    sqlite3_file* m_file;
    qint64 m_size = -1;
};

} // namespace

std::unique_ptr<QIODevice> ReadSnapshot::open() const {
    auto device = std::make_unique<HandleDevice>(m_file);
    if (!device->isOpen()) return nullptr;
    return device;
}

QString DatabaseProblem(const QString& path) {
    // Immutable: read as it lies, without lock, log or shared-memory files beside it.
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    QString problem;
    const Db db = Open(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, &problem);
    if (!db) return problem;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &raw, nullptr) != SQLITE_OK)
        return Reason(db.get(), SQLITE_ERROR);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> check(raw, sqlite3_finalize);
    QStringList found;
    int rc;
    while ((rc = sqlite3_step(check.get())) == SQLITE_ROW && found.size() < 3)
        found << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0)));
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Reason(db.get(), rc);
    if (found == QStringList{QStringLiteral("ok")}) return {};
    return found.isEmpty() ? QStringLiteral("integrity_check gave no answer")
                           : found.join(QStringLiteral("; "));
}

bool LooksLikeDatabase(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

} // namespace kq
