#include "core/punch/slotchoice.h"

#include "core/data/shared.h"

#include <algorithm>
#include <cstdlib>

namespace kq {

namespace {

constexpr int kNearMs = 30 * 60 * 1000;

bool Near(const QTime& a, const QTime& b) {
    return std::abs(a.msecsSinceStartOfDay() - b.msecsSinceStartOfDay()) <= kNearMs;
}

int NearShiftTime(const QList<TBrushInfo>& brushInfo, const QTime& now) {
    for (int k = 0; k < brushInfo.size(); ++k) {
        if (Near(now, brushInfo.at(k).BeginTime)) return 2 * k;
        if (Near(now, brushInfo.at(k).EndTime)) return 2 * k + 1;
    }
    return -1;
}

QTime TimeOf(const QString& text) {
    return QTime::fromString(text, QStringLiteral("hh:mm:ss"));
}

// P or Q, whichever now is nearer to going forward from P; the later one from half the gap on.
QString Nearer(const TSlotTime& p, const TSlotTime& q, const QString& now) {
    const double gap = SecondsBetween(TimeOf(p.STime), TimeOf(q.STime));
    const double elapsed = SecondsBetween(TimeOf(p.STime), TimeOf(now));
    return elapsed >= gap / 2 ? q.ShiftName : p.ShiftName;
}

int NeighbourSlot(const QList<TSlotTime>& slotTable, const QStringList& slotLabels, const QTime& time) {
    if (slotTable.isEmpty()) return -1;
    const QString now = TimeText(time);
    const TSlotTime* p = &slotTable.last();
    QString label;
    for (int i = 0; i < slotTable.size(); ++i) {
        const TSlotTime& q = slotTable.at(i);
        const bool between = i == 0 ? now < q.STime : now >= p->STime && now <= q.STime;
        if (between) {
            label = Nearer(*p, q, now);
            break;
        }
        p = &q;
    }
    if (label.isNull()) return -1;
    for (int i = 0; i < slotLabels.size(); ++i)
        if (slotLabels.at(i).compare(label, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

} // namespace

QList<TSlotTime> BuildSlotTable(const QList<TBrushInfo>& brushInfo) {
    QList<TSlotTime> table;
    for (const TBrushInfo& shift : brushInfo) {
        table.append({shift.ShiftName + QStringLiteral("上班"), TimeText(shift.BeginTime)});
        table.append({shift.ShiftName + QStringLiteral("下班"), TimeText(shift.EndTime)});
    }
    std::stable_sort(table.begin(), table.end(),
                     [](const TSlotTime& a, const TSlotTime& b) { return a.STime < b.STime; });
    return table;
}

int AutoSelectSlot(const QList<TBrushInfo>& brushInfo, const QList<TSlotTime>& slotTable,
                   const QStringList& slotLabels, const QTime& now, int current) {
    int choice = NearShiftTime(brushInfo, now);
    const int neighbour = NeighbourSlot(slotTable, slotLabels, now);
    if (neighbour >= 0) choice = neighbour;
    return choice >= 0 ? choice : current;
}

} // namespace kq
