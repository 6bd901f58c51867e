#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace kq {

// The person and period exchanged between the evaluation windows and their dialogs.
struct TFindInfo {
    QString WorkNo;
    QString Name;
    QString DeptName;
    QDateTime BeginDate;
    QDateTime EndDate;
    int Days = 0;
    bool Confirmed = false;
};

// The windows' starting period: from the first day of now's month (00:00:00) to now.
TFindInfo DefaultFindInfo(const QDateTime& now);

// Takes the person, the period and the answer of a search dialog's result; the other fields
// keep what the window had.
void TakeFindResult(TFindInfo& info, const TFindInfo& chosen);

// Days to attend: the dates from first to last, both included, that fall on Monday to Friday;
// 0 when first lies after last.
int WorkDayCount(const QDate& first, const QDate& last);

} // namespace kq
