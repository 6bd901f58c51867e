#include "core/punch/brushinfo.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"

namespace kq {

QList<TBrushInfo> ReadBrushInfo() {
    DataSet ds;
    ds.open(DataFile(schema::ShiftTime::File), schema::ShiftTime::SerialNo);
    QList<TBrushInfo> info;
    for (ds.first(); !ds.eof(); ds.next()) {
        TBrushInfo shift;
        shift.ShiftName = ds.asString(schema::ShiftTime::ShiftName);
        shift.BeginTime = ds.asTime(schema::ShiftTime::BeginTime);
        shift.EndTime = ds.asTime(schema::ShiftTime::EndTime);
        shift.Overnight = shift.EndTime < shift.BeginTime;
        info.append(shift);
    }
    ds.close();
    return info;
}

bool BrushShifts::refresh() {
    const QString path = DataFile(schema::ShiftTime::File);
    QByteArray bytes;
    try {
        bytes = DocumentStamp(path);
    } catch (const KqError&) {
        // The server cannot be reached: the shifts stay as read; a swipe reports the failure.
        if (m_read) return false;
    }
    if (m_read && path == m_path && bytes == m_bytes) return false;
    m_read = true;
    m_path = path;
    m_bytes = bytes;
    m_info.clear();
    m_error.clear();
    try {
        m_info = ReadBrushInfo();
    } catch (const KqError& e) {
        m_error = e.message();
    }
    return true;
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
