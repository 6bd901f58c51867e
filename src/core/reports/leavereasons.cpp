#include "core/reports/leavereasons.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/schema.h"

namespace kq {

QList<LeaveReason> ReadLeaveReasons(const QString& indexField) {
    DataSet ds;
    ds.open(DataFile(schema::BlankReson::File), indexField);
    QList<LeaveReason> reasons;
    for (ds.first(); !ds.eof(); ds.next())
        reasons.append({ds.asInt(schema::BlankReson::SerialNo), ds.asString(schema::BlankReson::Name)});
    ds.close();
    return reasons;
}

QString LeaveNameOf(const QList<LeaveReason>& reasons, int leaveType) {
    for (const LeaveReason& r : reasons)
        if (r.SerialNo == leaveType) return r.Name;
    return {};
}

int LeaveTypeOf(const QList<LeaveReason>& reasons, const QString& name) {
    for (const LeaveReason& r : reasons)
        if (r.Name == name) return r.SerialNo;
    return -1;
}

} // namespace kq
