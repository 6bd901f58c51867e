#include "core/maintenance/perioddelete.h"

#include "core/data/database.h"
#include "core/data/shared.h"

namespace kq {

int DeletePeriod(const QDate& first, const QDate& last) {
    // DDate holds "yyyy-mm-dd", whose text order is the order of the days.
    QSqlQuery q = ExecSql(QStringLiteral("delete from WorkList where DDate >= ? and DDate <= ?"),
                          {DateText(first), DateText(last)});
    return q.numRowsAffected();
}

} // namespace kq
