#include "core/data/documentstore.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/platform/savefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kq {

namespace {

KqError Missing(const QString& shownName) {
    return KqError(QStringLiteral("找不到数据文件：%1").arg(QDir::toNativeSeparators(shownName)));
}

// A file's stamp is its bytes (shared with the content, not copied): comparing them is exact and
// takes microseconds, where hashing a file of 500 employees took a tenth of a millisecond of every
// swipe.
QByteArray FileStamp(const QByteArray& content) {
    return content;
}

QByteArray VersionStamp(qint64 version) {
    return 'v' + QByteArray::number(version);
}

qint64 StampVersion(const QByteArray& stamp) {
    return stamp.startsWith('v') ? stamp.mid(1).toLongLong() : -1;
}

// The bytes of an existing file; throws when it is missing or unreadable.
QByteArray ReadFile(const QString& path, const QString& shownName) {
    QFile file(path);
    if (!file.exists()) throw Missing(shownName);
    if (!file.open(QIODevice::ReadOnly))
        throw KqError(QStringLiteral("无法读取数据文件：%1（%2）")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

void SaveFile(const QString& path, const QByteArray& content, bool ownerOnly) {
    QString error;
    if (!SaveWhole(path, content, &error, ownerOnly))
        throw KqError(
            QStringLiteral("无法写入数据文件：%1（%2）").arg(QDir::toNativeSeparators(path), error));
}

// The row a document query stands on; the query is finished, so that the connection is free.
Document ServerDocument(QSqlQuery& q) {
    Document doc{q.value(1).toString().toUtf8(), VersionStamp(q.value(0).toLongLong())};
    q.finish();
    return doc;
}

} // namespace

QString ServerDocumentName(const QString& path) {
    if (!OnServer() || DataFolder().isEmpty()) return {};
    const QFileInfo info(path);
    if (QDir::cleanPath(info.absolutePath()) != QDir::cleanPath(DataFolder())) return {};
    for (const QString& name : DataSetFileNames())
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) return name;
    return {};
}

Document ReadDocument(const QString& path, const QString& shownName) {
    const QString name = ServerDocumentName(path);
    if (name.isEmpty()) {
        const QByteArray content = ReadFile(path, shownName);
        return {content, FileStamp(content)};
    }
    QSqlQuery& q = CachedSql(QStringLiteral("select Version, Body from DataDocument where Name = ?"), {name});
    if (!q.next()) throw Missing(shownName);
    return ServerDocument(q);
}

std::optional<Document> ReadChangedDocument(const QString& path, const QByteArray& stamp) {
    const QString name = ServerDocumentName(path);
    if (name.isEmpty()) {
        Document doc = ReadDocument(path, path);
        if (doc.stamp == stamp) return std::nullopt;
        return doc;
    }
    // One round trip: the body comes only when the version moved.
    QSqlQuery& q = CachedSql(QStringLiteral("select Version, case when Version = ? then null else Body end "
                                            "from DataDocument where Name = ?"),
                             {StampVersion(stamp), name});
    if (!q.next()) throw Missing(path);
    if (q.value(1).isNull()) {
        q.finish();
        return std::nullopt;
    }
    return ServerDocument(q);
}

QByteArray DocumentStamp(const QString& path) {
    const QString name = ServerDocumentName(path);
    if (name.isEmpty()) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? FileStamp(file.readAll()) : QByteArray();
    }
    QSqlQuery& q = CachedSql(QStringLiteral("select Version from DataDocument where Name = ?"), {name});
    const QByteArray stamp = q.next() ? VersionStamp(q.value(0).toLongLong()) : QByteArray();
    q.finish();
    return stamp;
}

bool DocumentExists(const QString& path) {
    const QString name = ServerDocumentName(path);
    if (name.isEmpty()) return QFileInfo::exists(path);
    return !DocumentStamp(path).isEmpty();
}

QByteArray WriteDocument(const QString& path, const QByteArray& content, bool ownerOnly,
                         const QByteArray& over) {
    const QString name = ServerDocumentName(path);
    if (name.isEmpty()) {
        SaveFile(path, content, ownerOnly);
        return FileStamp(content);
    }
    const QString body = QString::fromUtf8(content);
    if (over.isEmpty()) {
        QSqlQuery q =
            ExecSql(QStringLiteral("insert into DataDocument (Name, Version, Body) values (?, 1, ?) "
                                   "on conflict (Name) do update set Body = excluded.Body, "
                                   "Version = DataDocument.Version + 1 returning Version"),
                    {name, body});
        if (!q.next()) throw KqError(QStringLiteral("无法写入数据文件：%1").arg(name));
        return VersionStamp(q.value(0).toLongLong());
    }
    QSqlQuery q = ExecSql(QStringLiteral("update DataDocument set Body = ?, Version = Version + 1 "
                                         "where Name = ? and Version = ? returning Version"),
                          {body, name, StampVersion(over)});
    if (!q.next())
        throw ChangedElsewhere(
            QStringLiteral("数据文件 %1 已被另一工作站修改，本次修改未保存；已重新读取，请重新修改。")
                .arg(name));
    return VersionStamp(q.value(0).toLongLong());
}

bool CreateDocument(const QString& path, const QByteArray& content, bool ownerOnly) {
    const QString name = ServerDocumentName(path);
    if (name.isEmpty()) {
        if (QFileInfo::exists(ResolveFileName(path))) return false;
        SaveFile(path, content, ownerOnly);
        return true;
    }
    QSqlQuery q = ExecSql(QStringLiteral("insert into DataDocument (Name, Version, Body) values (?, 1, ?) "
                                         "on conflict (Name) do nothing returning Version"),
                          {name, QString::fromUtf8(content)});
    return q.next();
}

DocumentLock::DocumentLock(const QString& path) {
    if (ServerDocumentName(path).isEmpty())
        m_lock = std::make_unique<DataSetLock>(QFileInfo(path).absolutePath());
}

DocumentLock::~DocumentLock() = default;

} // namespace kq
