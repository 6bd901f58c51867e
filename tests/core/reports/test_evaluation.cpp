#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/reports/evaluation.h"
#include "core/reports/findinfo.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

namespace {

QTime T(const char* text) {
    return QTime::fromString(QLatin1String(text), QStringLiteral("hh:mm:ss"));
}

// Slot table of one shift, worked time on the on-duty slot.
QList<TBaseInfo> OneShift(const char* begin, const char* end, bool late, bool early, bool accumulate) {
    const QTime b = T(begin), e = T(end);
    return {{QStringLiteral("白班"), b, e, late, accumulate, e < b},
            {QStringLiteral("白班"), e, b, early, false, e < b}};
}

} // namespace

TEST(Evaluation, LateAndEarlyBoundaries) {
    struct Case {
        const char* begin;
        const char* end;
        bool onDuty;
        const char* time;
        double seconds; // -1: not marked
    } cases[] = {
        {"08:00:00", "17:00:00", true, "08:00:00", -1},    {"08:00:00", "17:00:00", true, "08:00:01", 1},
        {"08:00:00", "17:00:00", true, "17:00:00", 32400}, {"08:00:00", "17:00:00", true, "17:00:01", -1},
        {"08:00:00", "17:00:00", true, "00:00:00", -1},    {"08:00:00", "17:00:00", false, "16:59:59", 1},
        {"08:00:00", "17:00:00", false, "17:00:00", -1},   {"08:00:00", "17:00:00", false, "08:00:00", 32400},
        {"08:00:00", "17:00:00", false, "07:59:59", -1},   {"22:00:00", "06:00:00", true, "22:10:00", 600},
        {"22:00:00", "06:00:00", true, "01:00:00", 10800}, {"22:00:00", "06:00:00", true, "06:00:00", -1},
        {"22:00:00", "06:00:00", true, "21:50:00", -1},    {"22:00:00", "06:00:00", true, "00:00:00", -1},
        {"22:00:00", "06:00:00", false, "05:30:00", 1800}, {"22:00:00", "06:00:00", false, "23:00:00", 25200},
        {"22:00:00", "06:00:00", false, "06:00:00", -1},   {"22:00:00", "06:00:00", false, "22:00:00", -1},
        {"09:00:00", "09:00:00", true, "09:00:00", -1},    {"09:00:00", "09:00:00", true, "12:00:00", -1},
        {"09:00:00", "09:00:00", false, "09:00:00", -1},   {"09:00:00", "09:00:00", false, "03:00:00", -1},
    };
    for (const Case& c : cases) {
        const QList<TBaseInfo> slotTable = OneShift(c.begin, c.end, true, true, false);
        const int slot = c.onDuty ? 0 : 1;
        const QString what =
            QStringLiteral("%1-%2 %3 %4").arg(c.begin, c.end, c.onDuty ? "on" : "off", c.time);
        EXPECT_EQ(IsMarkedTime(slotTable[slot], slot, T(c.time)), c.seconds >= 0) << what.toStdString();
        SlotTimes times;
        times[slot] = T(c.time);
        QList<TSlotTotals> totals(2);
        EvaluateRow(slotTable, times, totals);
        const TSlotTotals& sum = totals[slot];
        EXPECT_EQ(c.onDuty ? sum.LateCount : sum.EarlyCount, c.seconds >= 0 ? 1 : 0) << what.toStdString();
        EXPECT_DOUBLE_EQ(c.onDuty ? sum.LateSeconds : sum.EarlySeconds, c.seconds >= 0 ? c.seconds : 0)
            << what.toStdString();
        EXPECT_EQ(c.onDuty ? sum.EarlyCount : sum.LateCount, 0);
    }
    // The tests themselves, as written: a null time is no punch.
    EXPECT_FALSE(IsLate(false, QTime(), T("08:00:00"), T("17:00:00")));
    EXPECT_FALSE(IsEarly(true, QTime(), T("22:00:00"), T("06:00:00")));
}

// A punch within the grace, or at its last second, is neither late nor early; one second beyond
// counts from the shift's own begin or end, across midnight alike.
TEST(Evaluation, GraceMinutesBoundaries) {
    struct Case {
        const char* begin;
        const char* end;
        bool onDuty;
        int graceMinutes;
        const char* time;
        double seconds; // -1: not marked
    } cases[] = {
        {"08:00:00", "17:00:00", true, 5, "08:03:00", -1},
        {"08:00:00", "17:00:00", true, 5, "08:05:00", -1},
        {"08:00:00", "17:00:00", true, 5, "08:05:01", 301},
        {"08:00:00", "17:00:00", true, 0, "08:00:01", 1},
        {"08:00:00", "17:00:00", false, 10, "16:55:00", -1},
        {"08:00:00", "17:00:00", false, 10, "16:50:00", -1},
        {"08:00:00", "17:00:00", false, 10, "16:49:59", 601},
        {"23:55:00", "06:00:00", true, 10, "00:05:00", -1},
        {"23:55:00", "06:00:00", true, 10, "00:05:01", 601},
        {"23:55:00", "06:00:00", true, 10, "23:58:00", -1},
        {"22:00:00", "00:05:00", false, 10, "23:55:00", -1},
        {"22:00:00", "00:05:00", false, 10, "23:54:59", 601},
        {"08:00:00", "08:30:00", true, 60, "08:30:00", -1},
        {"08:00:00", "08:30:00", true, 60, "08:00:00", -1},
    };
    for (const Case& c : cases) {
        QList<TBaseInfo> slotTable = OneShift(c.begin, c.end, true, true, false);
        const int slot = c.onDuty ? 0 : 1;
        slotTable[slot].GraceSeconds = c.graceMinutes * 60;
        const std::string what = QStringLiteral("%1-%2 %3 +%4 %5")
                                     .arg(c.begin, c.end, c.onDuty ? "on" : "off")
                                     .arg(c.graceMinutes)
                                     .arg(c.time)
                                     .toStdString();
        EXPECT_EQ(IsMarkedTime(slotTable[slot], slot, T(c.time)), c.seconds >= 0) << what;
        SlotTimes times;
        times[slot] = T(c.time);
        QList<TSlotTotals> totals(2);
        EvaluateRow(slotTable, times, totals);
        EXPECT_EQ(c.onDuty ? totals[slot].LateCount : totals[slot].EarlyCount, c.seconds >= 0 ? 1 : 0)
            << what;
        EXPECT_DOUBLE_EQ(c.onDuty ? totals[slot].LateSeconds : totals[slot].EarlySeconds,
                         qMax(0.0, c.seconds))
            << what;
    }
}

TEST(Evaluation, WorkedTimeNeedsBothColumnsButCountsMidnight) {
    struct Case {
        const char* on;
        const char* off;
        double worked;
    } cases[] = {
        {"22:00:00", "06:00:00", 28800}, {"08:00:00", "08:00:00", 0}, {"00:00:00", "08:00:00", 28800},
        {"08:00:00", "00:00:00", 57600}, {"08:00:00", nullptr, 0},    {nullptr, "17:00:00", 0},
    };
    for (const Case& c : cases) {
        const QList<TBaseInfo> slotTable = OneShift("08:00:00", "17:00:00", true, true, true);
        SlotTimes times;
        if (c.on) times[0] = T(c.on);
        if (c.off) times[1] = T(c.off);
        QList<TSlotTotals> totals(2);
        EvaluateRow(slotTable, times, totals);
        EXPECT_DOUBLE_EQ(totals[0].WorkedSeconds, c.worked)
            << (c.on ? c.on : "null") << " " << (c.off ? c.off : "null");
        EXPECT_DOUBLE_EQ(totals[1].WorkedSeconds, 0);
        EXPECT_EQ(totals[0].LateCount, 0); // a stored 00:00:00 is no punch for the late test
    }
}

TEST(Evaluation, StoredTimeTexts) {
    struct Case {
        const char* text;
        QTime time;
    } cases[] = {
        {"08:05:09", QTime(8, 5, 9)},
        {"00:00:00", QTime(0, 0)},
        {"8:5:0", QTime(8, 5)},
        {"23:59", QTime(23, 59)},
        {"", QTime()},
        {"25:00:00", QTime()},
        {"ab:cd:ef", QTime()},
        {"08:05:0x", QTime()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseStoredTime(QString::fromUtf8(c.text)), c.time) << c.text;
        EXPECT_EQ(ParseStoredTime(QByteArrayView(c.text)), c.time) << c.text;
    }
}

TEST(Evaluation, DayOfWeekNames) {
    const char* names[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(DayOfWeek(QDate(2024, 3, 4).addDays(i)), QString::fromUtf8(names[i]));
    EXPECT_EQ(DayOfWeek(QDate()), "");
}

TEST(Evaluation, TotalsLinesPadTheShortNameAndKeepOrder) {
    QList<TBaseInfo> slotTable = {
        {"早", T("08:00:00"), T("12:00:00"), true, true, false},
        {"早", T("12:00:00"), T("08:00:00"), true, false, false},
        {"下午班", T("13:00:00"), T("17:00:00"), true, false, false},
        {"下午班", T("17:00:00"), T("13:00:00"), false, false, false},
        {"空", T("18:00:00"), T("20:00:00"), false, false, false},
        {"空", T("20:00:00"), T("18:00:00"), false, false, false},
    };
    QList<TSlotTotals> totals(6);
    totals[0] = {2, 3725, 0, 0, 90000};
    totals[1] = {0, 0, 1, 59.5, 0};
    EXPECT_EQ(TotalsLines(slotTable, totals), QStringList({
                                                  "早  迟到次数：2    累计时间：  1:02:05",
                                                  "早累计时间： 25:00:00",
                                                  "早  早退次数：1    累计时间：  0:01:00",
                                                  "下午迟到次数：0    累计时间：  0:00:00",
                                              }));
}

TEST(WorkDayCount, Cases) {
    struct Case {
        QDate first, last;
        int days;
    } cases[] = {
        {QDate(2024, 3, 4), QDate(2024, 3, 10), 5},  // Monday to Sunday
        {QDate(2024, 3, 9), QDate(2024, 3, 9), 0},   // a Saturday
        {QDate(2024, 3, 6), QDate(2024, 3, 6), 1},   // a Wednesday
        {QDate(2024, 1, 1), QDate(2024, 1, 31), 23}, // a month starting on a Monday
        {QDate(2024, 3, 8), QDate(2024, 3, 7), 0},   // reversed by one day
        {QDate(2024, 3, 8), QDate(2024, 3, 11), 2},  // Friday to Monday
        {QDate(2023, 1, 1), QDate(2024, 12, 31), 522}, {QDate(), QDate(2024, 3, 7), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WorkDayCount(c.first, c.last), c.days)
            << c.first.toString().toStdString() << " " << c.last.toString().toStdString();
}

TEST(FindInfo, DefaultPeriodIsTheMonthSoFar) {
    const TFindInfo info = DefaultFindInfo(QDateTime(QDate(2024, 3, 7), QTime(9, 30)));
    EXPECT_EQ(info.BeginDate, QDateTime(QDate(2024, 3, 1), QTime(0, 0)));
    EXPECT_EQ(info.EndDate, QDateTime(QDate(2024, 3, 7), QTime(9, 30)));
    EXPECT_TRUE(info.Name.isEmpty());
    EXPECT_FALSE(info.Confirmed);
}

class SlotTableTest : public test::DataFolderTest {};

TEST_F(SlotTableTest, BuiltInSerialOrderWithWorkedTimeOnTheChosenSide) {
    writeShifts({{2, "夜班", "22:00:00", "06:00:00", false, true, true},
                 {1, "早班", "08:00:00", "12:00:00", true, false, false},
                 {3, "同", "09:00:00", "09:00:00", true, true, true}});
    const QList<TBaseInfo> on = BuildSlotTable(AccumulateOn::OnDuty);
    ASSERT_EQ(on.size(), 6);
    EXPECT_EQ(on[0].ShiftName, "早班");
    EXPECT_EQ(on[0].OwnTime, T("08:00:00"));
    EXPECT_EQ(on[0].OtherTime, T("12:00:00"));
    EXPECT_TRUE(on[0].Marked);
    EXPECT_FALSE(on[1].Marked);
    EXPECT_EQ(on[2].ShiftName, "夜班");
    EXPECT_EQ(on[3].OwnTime, T("06:00:00"));
    EXPECT_EQ(on[3].OtherTime, T("22:00:00"));
    EXPECT_TRUE(on[2].Overnight && on[3].Overnight);
    EXPECT_FALSE(on[4].Overnight); // equal times are not overnight
    EXPECT_TRUE(on[2].Accumulate);
    EXPECT_FALSE(on[3].Accumulate);
    const QList<TBaseInfo> off = BuildSlotTable(AccumulateOn::OffDuty);
    EXPECT_FALSE(off[2].Accumulate);
    EXPECT_TRUE(off[3].Accumulate);
    EXPECT_FALSE(off[0].Accumulate || off[1].Accumulate);

    EXPECT_EQ(on[0].GraceSeconds, 0); // a file without grace fields
    EXPECT_EQ(on[1].GraceSeconds, 0);

    QList<FieldDef> fields = ShiftTimeFields() + ShiftGraceFields();
    DataSet::writeFile(path("ShiftTime.dat"), fields,
                       {{1, "早班", "08:00:00", "12:00:00", true, true, false, 5, 10},
                        {2, "午班", "13:00:00", "17:00:00", true, true, false}});
    const QList<TBaseInfo> graced = BuildSlotTable(AccumulateOn::OnDuty);
    ASSERT_EQ(graced.size(), 4);
    EXPECT_EQ(QList<int>({graced[0].GraceSeconds, graced[1].GraceSeconds, graced[2].GraceSeconds,
                          graced[3].GraceSeconds}),
              QList<int>({300, 600, 0, 0}));

    writeShifts({});
    EXPECT_TRUE(BuildSlotTable(AccumulateOn::OnDuty).isEmpty());
    QFile::remove(path("ShiftTime.dat"));
    EXPECT_THROW(BuildSlotTable(AccumulateOn::OnDuty), KqError);
}
