#include "core/reports/correction.h"

#include "core/data/database.h"
#include "core/data/gbk.h"
#include "core/data/shared.h"
#include "core/maintenance/auditlog.h"
#include "core/setup/shiftrules.h"

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>

namespace kq {

namespace {

constexpr int kCommentWidth = 80; // GBK bytes of WorkList.Comment

// An empty comment and a missing one read the same; so do the values that name no reason.
bool SameValue(const QString& column, const QVariant& stored, const QVariant& wanted) {
    if (column != QLatin1String("LeaveType")) return stored.toString() == wanted.toString();
    const int a = stored.toInt(), b = wanted.toInt();
    return a == b || (a <= 0 && b <= 0);
}

} // namespace

QTime ParseTypedTime(const QString& text) {
    const QString t = text.trimmed();
    if (const QTime time = ParseTimeText(t); time.isValid()) return time;
    for (const char* form : {"yyyy-M-d h:m:s", "yyyy-M-d h:m", "yyyy/M/d h:m:s", "yyyy/M/d h:m"}) {
        const QDateTime dt = QDateTime::fromString(t.simplified(), QLatin1String(form));
        if (dt.isValid()) return dt.time();
    }
    return {};
}

void UpdateRecord(const RecordEdit& edit) {
    QStringList columns;
    QVariantList values;
    for (auto it = edit.times.cbegin(); it != edit.times.cend(); ++it) {
        columns << SlotColumn(it.key());
        values << TimeText(it.value());
    }
    columns << QStringLiteral("Comment") << QStringLiteral("LeaveType");
    values << GbkCut(edit.comment, kCommentWidth) << edit.leaveType;

    Transaction transaction(QStringLiteral("WorkList"));
    QSqlQuery row = ExecSql(QStringLiteral("select DDate, Name, %1 from WorkList where ISn = ?")
                                .arg(columns.join(QStringLiteral(", "))),
                            {edit.isn});
    if (!row.next()) return; // no such row: nothing to change
    QJsonObject before, after;
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant stored = row.value(2 + i);
        if (SameValue(columns.at(i), stored, values.at(i))) continue;
        before.insert(columns.at(i), AuditValue(stored));
        after.insert(columns.at(i), AuditValue(values.at(i)));
    }
    const QString key = AuditRecordKey(row.value(0).toString(), row.value(1).toString(), edit.isn);
    row.finish();
    ExecSql(QStringLiteral("update WorkList set %1 = ? where ISn = ?")
                .arg(columns.join(QStringLiteral(" = ?, "))),
            values << edit.isn);
    if (!before.isEmpty()) AuditWriter().append(kAuditEdit, key, before, after);
    transaction.commit();
}

void DeleteDay(const QDate& date, const QString& name) {
    const QString where = QStringLiteral("DDate = ? and Name = ?");
    const QVariantList values{DateText(date), name};
    Transaction transaction(QStringLiteral("WorkList"));
    AuditDeletedRows(kAuditDeleteDay, where, values);
    ExecSql(QStringLiteral("delete from WorkList where ") + where, values);
    transaction.commit();
}

} // namespace kq
