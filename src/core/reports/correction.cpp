#include "core/reports/correction.h"

#include "core/data/database.h"
#include "core/data/gbk.h"
#include "core/data/shared.h"
#include "core/setup/shiftrules.h"

#include <QDateTime>
#include <QStringList>

namespace kq {

namespace {

constexpr int kCommentWidth = 80; // GBK bytes of WorkList.Comment

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
    QStringList assignments;
    QVariantList values;
    for (auto it = edit.times.cbegin(); it != edit.times.cend(); ++it) {
        assignments << SlotColumn(it.key()) + QStringLiteral(" = ?");
        values << TimeText(it.value());
    }
    assignments << QStringLiteral("Comment = ?") << QStringLiteral("LeaveType = ?");
    values << GbkCut(edit.comment, kCommentWidth) << edit.leaveType << edit.isn;
    ExecSql(
        QStringLiteral("update WorkList set %1 where ISn = ?").arg(assignments.join(QStringLiteral(", "))),
        values);
}

void DeleteDay(const QDate& date, const QString& name) {
    ExecSql(QStringLiteral("delete from WorkList where DDate = ? and Name = ?"), {DateText(date), name});
}

} // namespace kq
