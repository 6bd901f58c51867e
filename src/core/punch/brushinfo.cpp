#include "punch/brushinfo.h"

#include "data/datafolder.h"
#include "data/dataset.h"

namespace kq {

QList<TBrushInfo> ReadBrushInfo() {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("ShiftTime.dat")), QStringLiteral("SerialNo"));
    QList<TBrushInfo> info;
    for (ds.first(); !ds.eof(); ds.next()) {
        TBrushInfo shift;
        shift.ShiftName = ds.asString(QStringLiteral("ShiftName"));
        shift.BeginTime = ds.asTime(QStringLiteral("BeginTime"));
        shift.EndTime = ds.asTime(QStringLiteral("EndTime"));
        shift.Overnight = shift.EndTime < shift.BeginTime;
        info.append(shift);
    }
    ds.close();
    return info;
}

QStringList SlotLabels(const QList<TBrushInfo>& brushInfo) {
    QStringList labels;
    for (const TBrushInfo& shift : brushInfo)
        labels << shift.ShiftName + QStringLiteral("上班") << shift.ShiftName + QStringLiteral("下班");
    return labels;
}

QDate GetBrushDate(const TBrushInfo& shift, int slot, const QDateTime& now) {
    const QTime t = now.time();
    const QDate d = now.date();
    const bool onDuty = slot % 2 == 0;
    if (!shift.Overnight) {
        if (onDuty) return t > shift.EndTime ? d.addDays(1) : d;
        return t < shift.BeginTime ? d.addDays(-1) : d;
    }
    if (onDuty) return t <= shift.EndTime ? d.addDays(-1) : d;
    return t < shift.BeginTime ? d.addDays(-1) : d;
}

} // namespace kq
