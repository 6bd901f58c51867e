#include "core/punch/slotchoice.h"

#include <gtest/gtest.h>

using namespace kq;

namespace {

TBrushInfo Shift(const QString& name, QTime begin, QTime end) {
    return {name, begin, end, end < begin};
}

struct Station {
    explicit Station(QList<TBrushInfo> shifts)
        : info(std::move(shifts)), table(BuildSlotTable(info)), labels(SlotLabels(info)) {}
    int choose(QTime now, int current) const { return AutoSelectSlot(info, table, labels, now, current); }
    QList<TBrushInfo> info;
    QList<TSlotTime> table;
    QStringList labels;
};

} // namespace

TEST(SlotTable, OrderedByTimeEqualTimesKeepShiftOrder) {
    const QList<TSlotTime> table = BuildSlotTable(
        {Shift("午班", QTime(12, 0), QTime(17, 30)), Shift("早班", QTime(8, 0), QTime(12, 0))});
    QStringList order;
    for (const TSlotTime& row : table)
        order << row.ShiftName + "@" + row.STime;
    EXPECT_EQ(order, QStringList({"早班上班@08:00:00", "午班上班@12:00:00", "早班下班@12:00:00",
                                  "午班下班@17:30:00"}));
}

TEST(AutoSelectSlot, TwoShiftBoundaries) {
    // 早班 08:00-12:00, 午班 13:30-17:30: slots 0 早班上班, 1 早班下班, 2 午班上班, 3 午班下班.
    const Station s({Shift("早班", QTime(8, 0), QTime(12, 0)), Shift("午班", QTime(13, 30), QTime(17, 30))});
    struct Case {
        QTime now;
        int current;
        int expected;
    } cases[] = {
        {QTime(7, 20), 3, 0},     // across midnight: 13 h 50 min of a 14 h 30 min gap
        {QTime(9, 59, 59), 3, 0}, // before half of the 4 h gap
        {QTime(10, 0, 0), 0, 1},  // exactly half counts for the later slot
        {QTime(12, 44, 59), 0, 1}, {QTime(12, 45, 0), 0, 2},
        {QTime(18, 0, 0), 0, 3},                         // pass 1 only: exactly 30 minutes from 17:30 is near
        {QTime(18, 0, 1), 0, 0},                         // beyond the limit neither pass selects
        {QTime(18, 10), 0, 0},                           // 40 minutes from 17:30
        {QTime(19, 0), 3, 3},                            // neither pass: the selection stays
        {QTime(19, 0), 0, 0},      {QTime(0, 30), 0, 3}, // 7 h of the 14 h 30 min overnight gap
        {QTime(0, 46), 3, 0},      {QTime(17, 30), 0, 3}, // at the last slot time pass 2 still selects it
        {QTime(8, 0), 2, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.choose(c.now, c.current), c.expected) << qPrintable(c.now.toString());
}

TEST(AutoSelectSlot, PassOneIsNotWrappedAroundMidnight) {
    // 23:50 is 20 minutes before 00:10 on the clock, but the plain difference is 23 h 40 min;
    // pass 2 selects nothing after the last slot time either.
    const Station s({Shift("夜班", QTime(0, 10), QTime(0, 20))});
    EXPECT_EQ(s.choose(QTime(23, 50), 1), 1);
}

TEST(AutoSelectSlot, SameNamedShiftsLandOnTheFirstEntry) {
    const Station s({Shift("班", QTime(8, 0), QTime(12, 0)), Shift("班", QTime(14, 0), QTime(18, 0))});
    EXPECT_EQ(s.choose(QTime(14, 40), 1), 0); // the second shift's 班上班 is found as the first entry
    EXPECT_EQ(s.choose(QTime(13, 0), 1), 0);  // half of 12:00-14:00: 班上班 again, the first entry
}

TEST(AutoSelectSlot, LabelsMatchIgnoringCase) {
    QList<TBrushInfo> info{Shift("Day", QTime(8, 0), QTime(12, 0))};
    const QStringList labels{"DAY上班", "DAY下班"};
    EXPECT_EQ(AutoSelectSlot(info, BuildSlotTable(info), labels, QTime(11, 0), 0), 1);
}

TEST(AutoSelectSlot, NoShiftsKeepsTheSelection) {
    const Station s({});
    EXPECT_EQ(s.choose(QTime(9, 0), -1), -1);
}
