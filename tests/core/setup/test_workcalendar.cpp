#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/setup/workcalendar.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(WorkCalendar, DaysToAttendFollowTheCalendar) {
    // March 2024: the 1st is a Friday, 21 weekdays in the month.
    const WorkCalendar calendar({{QDate(2024, 3, 8), CalendarKind::Holiday, "妇女节"},  // a Friday
                                 {QDate(2024, 3, 9), CalendarKind::Workday, "调休"},    // a Saturday
                                 {QDate(2024, 3, 10), CalendarKind::Holiday, "周日假"}, // already off
                                 {QDate(2024, 3, 11), CalendarKind::Workday, ""}});     // already worked
    struct Case {
        QDate first, last;
        int plain, withCalendar;
    } cases[] = {
        {QDate(2024, 3, 1), QDate(2024, 3, 31), 21, 21}, // one day off, one day on
        {QDate(2024, 3, 8), QDate(2024, 3, 8), 1, 0},
        {QDate(2024, 3, 9), QDate(2024, 3, 9), 0, 1},
        {QDate(2024, 3, 9), QDate(2024, 3, 11), 1, 2},
        {QDate(2024, 3, 1), QDate(2024, 3, 7), 5, 5}, // entries outside the period count for nothing
        {QDate(2024, 3, 31), QDate(2024, 3, 1), 0, 0},
        {QDate(), QDate(2024, 3, 1), 0, 0},
    };
    for (const Case& c : cases) {
        const std::string what = (c.first.toString() + " " + c.last.toString()).toStdString();
        EXPECT_EQ(WorkCalendar().workDayCount(c.first, c.last), c.plain) << what;
        EXPECT_EQ(calendar.workDayCount(c.first, c.last), c.withCalendar) << what;
    }
    EXPECT_FALSE(calendar.isWorkday(QDate(2024, 3, 8)));
    EXPECT_TRUE(calendar.isWorkday(QDate(2024, 3, 9)));
    EXPECT_TRUE(calendar.isWorkday(QDate(2024, 3, 7)));
    EXPECT_FALSE(calendar.isWorkday(QDate(2024, 3, 16)));
}

using CalendarTableTest = test::OnEachEngine<test::DataFolderTest>;
KQ_ON_EACH_ENGINE(CalendarTableTest);

TEST_P(CalendarTableTest, StoredReplacedListedAndDeleted) {
    EXPECT_TRUE(ReadCalendar().isEmpty());
    SetCalendarDay({QDate(2024, 10, 1), CalendarKind::Holiday, "国庆节"});
    SetCalendarDay({QDate(2024, 9, 29), CalendarKind::Workday, "国庆调休"});
    SetCalendarDay({QDate(2024, 10, 1), CalendarKind::Holiday, "O'Neil 节"}); // replaces the entry
    const QList<CalendarDay> days = ReadCalendar();
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].date, QDate(2024, 9, 29)); // by date
    EXPECT_EQ(days[0].kind, CalendarKind::Workday);
    EXPECT_EQ(days[1].name, "O'Neil 节");
    EXPECT_EQ(ReadCalendar(QDate(2024, 10, 1), QDate(2024, 10, 7)).size(), 1);
    EXPECT_EQ(WorkCalendar::Read().workDayCount(QDate(2024, 9, 29), QDate(2024, 10, 1)), 2);

    EXPECT_TRUE(DeleteCalendarDay(QDate(2024, 10, 1)));
    EXPECT_FALSE(DeleteCalendarDay(QDate(2024, 10, 1)));
    EXPECT_EQ(ReadCalendar().size(), 1);
    EXPECT_TRUE(CheckCalendarName("一二三四五六七八九十").isEmpty()); // 20 bytes
    EXPECT_FALSE(CheckCalendarName("一二三四五六七八九十A").isEmpty());
}
