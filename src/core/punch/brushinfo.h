#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kq {

// One shift as the punch station sees it.
struct TBrushInfo {
    QString ShiftName;
    QTime BeginTime;
    QTime EndTime;
    bool Overnight = false; // EndTime earlier than BeginTime: the shift runs past midnight
};

// The shifts of ShiftTime.dat in ascending SerialNo order; shift k owns slots 2k (on duty) and
// 2k+1 (off duty). Throws KqError when the file cannot be read.
QList<TBrushInfo> ReadBrushInfo();

// The slot list: for each shift its name + "上班", then its name + "下班".
QStringList SlotLabels(const QList<TBrushInfo>& brushInfo);

// The attendance date of a punch into slot (on duty when even) of shift at now. Comparisons use
// the full precision of now: "later" and "earlier" are strict.
QDate GetBrushDate(const TBrushInfo& shift, int slot, const QDateTime& now);

} // namespace kq
