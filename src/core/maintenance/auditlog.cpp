#include "core/maintenance/auditlog.h"

#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/platform/platform.h"
#include "core/shell/operatorinfo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>

namespace kq {

namespace {

const QString kFirstPrevHash(64, QLatin1Char('0'));

QString JsonText(const QJsonObject& values) {
    return values.isEmpty() ? QString()
                            : QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
}

const char kColumns[] =
    "Seq, EntryTime, OperatorName, Kind, RecordKey, OldValues, NewValues, PrevHash, EntryHash";

AuditEntry EntryOf(const QSqlQuery& q) {
    return {q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString(),   q.value(4).toString(), q.value(5).toString(),
            q.value(6).toString(),   q.value(7).toString(), q.value(8).toString()};
}

} // namespace

QString AuditHash(const AuditEntry& e) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& field : {QString::number(e.Seq), e.EntryTime, e.OperatorName, e.Kind, e.RecordKey,
                                 e.OldValues, e.NewValues, e.PrevHash}) {
        const QByteArray bytes = field.toUtf8();
        hash.addData(QByteArray::number(bytes.size()) + ':');
        hash.addData(bytes);
    }
    return QString::fromLatin1(hash.result().toHex());
}

QString AuditOperator() {
    if (!CurOperator().Name.isEmpty()) return CurOperator().Name;
    return QStringLiteral("kaoqin-cli:") + Services().system->userName();
}

AuditWriter::AuditWriter(const QSqlDatabase& db)
    : m_insert(db), m_time(Now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))),
      m_operator(AuditOperator()) {
    QSqlQuery last(db);
    // On the server, stations correcting at once take turns from here to their commit, so that
    // each reads the last entry of the one before; readers are not held up.
    if (db.driverName() == QLatin1String("QPSQL") &&
        !last.exec(QStringLiteral("LOCK TABLE AuditLog IN SHARE ROW EXCLUSIVE MODE")))
        throw KqError(last.lastError().text());
    if (!last.exec(QStringLiteral("select Seq, EntryHash from AuditLog order by Seq desc limit 1")))
        throw KqError(last.lastError().text());
    if (last.next()) {
        m_seq = last.value(0).toLongLong();
        m_hash = last.value(1).toString();
    } else {
        m_hash = kFirstPrevHash;
    }
    if (!m_insert.prepare(QStringLiteral("insert into AuditLog (%1) values (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              .arg(QLatin1String(kColumns))))
        throw KqError(m_insert.lastError().text());
}

void AuditWriter::append(const QString& kind, const QString& recordKey, const QJsonObject& oldValues,
                         const QJsonObject& newValues) {
    AuditEntry e{m_seq + 1,           m_time, m_operator, kind, recordKey, JsonText(oldValues),
                 JsonText(newValues), m_hash, {}};
    e.EntryHash = AuditHash(e);
    for (const QVariant& v : QVariantList{e.Seq, e.EntryTime, e.OperatorName, e.Kind, e.RecordKey,
                                          e.OldValues, e.NewValues, e.PrevHash, e.EntryHash})
        m_insert.addBindValue(v);
    if (!m_insert.exec()) throw KqError(m_insert.lastError().text());
    m_seq = e.Seq;
    m_hash = e.EntryHash;
}

QString AuditRecordKey(const QString& date, const QString& name, qint64 isn) {
    return QStringLiteral("%1 %2 (ISn %3)").arg(date, name).arg(isn);
}

QJsonValue AuditValue(const QVariant& stored) {
    if (stored.isNull()) return QJsonValue::Null;
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return stored.toDouble();
    default:
        return stored.toString();
    }
}

void AuditDeletedRows(const QString& kind, const QString& where, const QVariantList& values) {
    // The record's own columns by their names (the server's table adds columns it works out itself,
    // and names its fields in lower case).
    QStringList columns{QStringLiteral("DDate"), QStringLiteral("Name")};
    for (int i = 0; i < kSlotCount; ++i)
        columns << SlotColumn(i);
    columns << QStringLiteral("LeaveType") << QStringLiteral("Comment");
    QSqlQuery rows = ExecSql(QStringLiteral("select ISn, %1 from WorkList where %2 order by DDate, Name, ISn")
                                 .arg(columns.join(QStringLiteral(", ")), where),
                             values);
    // All rows are read before the first entry is written: the server's driver drops what is left
    // unread of a query when the connection runs the next statement.
    QList<std::pair<QString, QJsonObject>> deleted;
    while (rows.next()) {
        QJsonObject old;
        for (int i = 0; i < columns.size(); ++i)
            if (!rows.isNull(1 + i)) old.insert(columns.at(i), AuditValue(rows.value(1 + i)));
        deleted.append(
            {AuditRecordKey(rows.value(1).toString(), rows.value(2).toString(), rows.value(0).toLongLong()),
             old});
    }
    rows.finish();
    AuditWriter audit;
    for (const auto& [key, old] : deleted)
        audit.append(kind, key, old, {});
}

void AuditRestore(QSqlDatabase& db, const QString& archive, const QDateTime& archiveDate) {
    if (!db.transaction()) throw KqError(db.lastError().text());
    try {
        AuditWriter(db).append(
            kAuditRestore, QStringLiteral("数据从备份恢复"), {},
            {{QStringLiteral("Archive"), QDir::toNativeSeparators(QFileInfo(archive).absoluteFilePath())},
             {QStringLiteral("ArchiveDate"), archiveDate.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))}});
    } catch (const KqError&) {
        db.rollback();
        throw;
    }
    if (!db.commit()) throw KqError(db.lastError().text());
}

QList<AuditEntry> ReadAuditLog(const QDate& first, const QDate& last) {
    QString sql = QStringLiteral("select %1 from AuditLog").arg(QLatin1String(kColumns));
    QStringList conditions;
    QVariantList values;
    // EntryTime begins with the day, so a day's entries lie from "day" to "day" + a later character.
    if (first.isValid()) {
        conditions << QStringLiteral("EntryTime >= ?");
        values << first.toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (last.isValid()) {
        conditions << QStringLiteral("EntryTime < ?");
        values << last.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (!conditions.isEmpty()) sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    QSqlQuery q = ExecSql(sql + QStringLiteral(" order by Seq"), values);
    QList<AuditEntry> entries;
    while (q.next())
        entries.append(EntryOf(q));
    return entries;
}

AuditCheck VerifyAuditLog() {
    QSqlQuery q =
        ExecSql(QStringLiteral("select %1 from AuditLog order by Seq").arg(QLatin1String(kColumns)));
    AuditCheck check;
    QString prev = kFirstPrevHash;
    while (q.next()) {
        const AuditEntry e = EntryOf(q);
        ++check.entries;
        if (e.Seq != check.entries)
            check.reason = QStringLiteral("应为第 %1 条，之前的记录被删除").arg(check.entries);
        else if (e.PrevHash != prev)
            check.reason = QStringLiteral("前一条记录的校验值不符，前一条被改动或删除");
        else if (AuditHash(e) != e.EntryHash)
            check.reason = QStringLiteral("本条内容与校验值不符");
        if (!check.reason.isEmpty()) {
            check.broken = true;
            check.brokenSeq = e.Seq;
            return check;
        }
        prev = e.EntryHash;
    }
    return check;
}

QString AuditCheckText(const AuditCheck& check) {
    if (check.intact()) return QStringLiteral("修改记录完整，共 %1 条。").arg(check.entries);
    return QStringLiteral("修改记录第 %1 条被改动或删除：%2").arg(check.brokenSeq).arg(check.reason);
}

} // namespace kq
