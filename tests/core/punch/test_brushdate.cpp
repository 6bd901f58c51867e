#include "core/punch/brushinfo.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

namespace {

TBrushInfo Shift(QTime begin, QTime end) {
    return {QStringLiteral("班"), begin, end, end < begin};
}

} // namespace

TEST(GetBrushDate, DayAndNightShiftBoundaries) {
    const TBrushInfo day = Shift(QTime(8, 0), QTime(17, 0));
    const TBrushInfo night = Shift(QTime(22, 0), QTime(6, 0));
    const QDate d4(2006, 8, 4), d5(2006, 8, 5), d6(2006, 8, 6);
    struct Case {
        const TBrushInfo* shift;
        int slot;
        QDate date;
        QTime time;
        QDate expected;
    } cases[] = {
        // Day shift, on duty: the next day only strictly after the end.
        {&day, 0, d5, QTime(7, 50), d5},
        {&day, 0, d5, QTime(17, 30), d6},
        {&day, 0, d5, QTime(17, 0, 0, 0), d5},
        {&day, 0, d5, QTime(17, 0, 0, 1), d6},
        // Day shift, off duty: the day before only strictly before the begin.
        {&day, 1, d5, QTime(17, 5), d5},
        {&day, 1, d6, QTime(7, 0), d5},
        {&day, 1, d6, QTime(8, 0, 0, 0), d6},
        {&day, 1, d6, QTime(7, 59, 59, 999), d5},
        // Night shift, on duty: the day before up to and including the end.
        {&night, 2, d5, QTime(21, 50), d5},
        {&night, 2, d6, QTime(0, 30), d5},
        {&night, 2, d6, QTime(6, 0, 0, 0), d5},
        {&night, 2, d6, QTime(6, 0, 0, 1), d6},
        {&night, 2, d6, QTime(6, 0, 1), d6},
        // Night shift, off duty: the day before strictly before the begin.
        {&night, 3, d6, QTime(6, 10), d5},
        {&night, 3, d5, QTime(22, 30), d5},
        {&night, 3, d5, QTime(21, 59), d4},
        {&night, 3, d5, QTime(22, 0), d5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetBrushDate(*c.shift, c.slot, QDateTime(c.date, c.time)), c.expected)
            << "slot " << c.slot << " at " << qPrintable(c.time.toString("hh:mm:ss.zzz"));
}

TEST(GetBrushDate, MonthAndYearBoundaries) {
    const TBrushInfo day = Shift(QTime(8, 0), QTime(17, 0));
    EXPECT_EQ(GetBrushDate(day, 0, QDateTime(QDate(2006, 12, 31), QTime(18, 0))), QDate(2007, 1, 1));
    EXPECT_EQ(GetBrushDate(day, 1, QDateTime(QDate(2008, 3, 1), QTime(6, 0))), QDate(2008, 2, 29));
}

class BrushInfoTest : public test::DataFolderTest {};

TEST_F(BrushInfoTest, ShiftsInSerialOrderWithLabels) {
    writeShifts({{3, "夜班", "22:00:00", "06:00:00", true, true, true},
                 {1, "早班", "08:00:00", "12:00:00", true, true, true},
                 {2, "午班", "12:00:00", "12:00:00", true, true, true}});
    const QList<TBrushInfo> info = ReadBrushInfo();
    ASSERT_EQ(info.size(), 3);
    EXPECT_EQ(info[0].ShiftName, "早班");
    EXPECT_FALSE(info[0].Overnight);
    EXPECT_FALSE(info[1].Overnight); // equal times do not run past midnight
    EXPECT_EQ(info[2].ShiftName, "夜班");
    EXPECT_TRUE(info[2].Overnight);
    EXPECT_EQ(info[2].BeginTime, QTime(22, 0));
    EXPECT_EQ(SlotLabels(info),
              QStringList({"早班上班", "早班下班", "午班上班", "午班下班", "夜班上班", "夜班下班"}));
}
