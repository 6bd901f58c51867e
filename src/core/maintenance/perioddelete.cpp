#include "core/maintenance/perioddelete.h"

#include "core/data/database.h"
#include "core/data/shared.h"
#include "core/maintenance/auditlog.h"

namespace kq {

int DeletePeriod(const QDate& first, const QDate& last) {
    // DDate holds "yyyy-mm-dd", whose text order is the order of the days.
    const QString where = QStringLiteral("DDate >= ? and DDate <= ?");
    const QVariantList period{DateText(first), DateText(last)};
    Transaction transaction(QStringLiteral("WorkList"));
    AuditDeletedRows(kAuditDeletePeriod, where, period);
    const int count =
        ExecSql(QStringLiteral("delete from WorkList where ") + where, period).numRowsAffected();
    transaction.commit();
    return count;
}

} // namespace kq
