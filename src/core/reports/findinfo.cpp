#include "core/reports/findinfo.h"

namespace kq {

TFindInfo DefaultFindInfo(const QDateTime& now) {
    TFindInfo info;
    const QDate today = now.date();
    info.BeginDate = QDateTime(QDate(today.year(), today.month(), 1), QTime(0, 0));
    info.EndDate = now;
    return info;
}

int WorkDayCount(const QDate& first, const QDate& last) {
    if (!first.isValid() || !last.isValid() || first > last) return 0;
    const qint64 days = first.daysTo(last) + 1;
    qint64 count = days / 7 * 5;
    // The remaining days (fewer than a week) start on first's weekday.
    for (int i = 0, wd = first.dayOfWeek(); i < days % 7; ++i, wd = wd % 7 + 1)
        if (wd <= 5) ++count;
    return int(count);
}

void TakeFindResult(TFindInfo& info, const TFindInfo& chosen) {
    info.Name = chosen.Name;
    info.BeginDate = chosen.BeginDate;
    info.EndDate = chosen.EndDate;
    info.Confirmed = chosen.Confirmed;
}

} // namespace kq
