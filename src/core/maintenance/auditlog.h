#pragma once

#include "core/data/database.h"

#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace kq {

// One entry of the correction log (table AuditLog beside the records). Each entry carries the
// hash of the entry before it (PrevHash; 64 zeros for the first) and its own hash over all its
// other fields (EntryHash), so that an entry altered or removed from the middle breaks the chain.
// Removing entries from the end leaves a shorter chain that still verifies.
struct AuditEntry {
    qint64 Seq = 0;       // 1, 2, 3, … without gaps
    QString EntryTime;    // "yyyy-mm-dd hh:nn:ss"
    QString OperatorName; // who made the change
    QString Kind;         // what was done: kAuditEdit, kAuditDeleteDay, kAuditDeletePeriod, kAuditRestore
    QString RecordKey;    // which record
    QString OldValues;    // JSON object of the values before; empty when there were none
    QString NewValues;    // JSON object of the values after; empty when there are none
    QString PrevHash;
    QString EntryHash;
};

inline const QString kAuditEdit = QStringLiteral("修改");
inline const QString kAuditDeleteDay = QStringLiteral("删除");
inline const QString kAuditDeletePeriod = QStringLiteral("数据删除");
inline const QString kAuditRestore = QStringLiteral("恢复");

// The hash of an entry: SHA-256 (hex) of every field but EntryHash, each with its length.
QString AuditHash(const AuditEntry& entry);

// Who makes a change now: the signed-in operator, or the user running the command line.
QString AuditOperator();

// Appends entries to the log of db inside the caller's write transaction (a Transaction on
// KQDataBase that takes the lock of WorkList), so that a change and its entries are committed together or not
// at all. Time and operator are taken once. Throws KqError.
class AuditWriter {
public:
    explicit AuditWriter(const QSqlDatabase& db = KQDataBase());
    void append(const QString& kind, const QString& recordKey, const QJsonObject& oldValues,
                const QJsonObject& newValues);

private:
    QSqlQuery m_insert;
    qint64 m_seq = 0;
    QString m_hash;
    QString m_time;
    QString m_operator;
};

// "2024-03-01 张三 (ISn 12)": an attendance row as entries name it.
QString AuditRecordKey(const QString& date, const QString& name, qint64 isn);

// A stored value as an entry holds it: null, a number or a text.
QJsonValue AuditValue(const QVariant& stored);

// Appends an entry of kind for every WorkList row that matches where (a condition with ? for
// values), its stored values as the old ones; for the write transaction that deletes those rows.
// Throws KqError.
void AuditDeletedRows(const QString& kind, const QString& where, const QVariantList& values);

// Appends to the log of db, in a transaction of its own, the entry saying that the data (the log
// among it) was restored from archive, written at archiveDate. Throws KqError.
void AuditRestore(QSqlDatabase& db, const QString& archive, const QDateTime& archiveDate);

// The entries made from first to last (both days included; an invalid date leaves that end open),
// in their order. Throws KqError.
QList<AuditEntry> ReadAuditLog(const QDate& first = {}, const QDate& last = {});

struct AuditCheck {
    qint64 entries = 0; // entries read
    bool broken = false;
    qint64 brokenSeq = 0; // the Seq of the first entry that breaks the chain
    QString reason;       // why it breaks
    bool intact() const { return !broken; }
};
// Walks the whole log from its first entry. Throws KqError.
AuditCheck VerifyAuditLog();
// "修改记录完整，共 N 条。" or "修改记录第 N 条被改动或删除：reason".
QString AuditCheckText(const AuditCheck& check);

} // namespace kq
