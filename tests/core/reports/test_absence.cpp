#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/reports/absence.h"
#include "core/reports/attendancequery.h"
#include "core/reports/statistics.h"
#include "core/setup/workcalendar.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

// The week of Monday 2024-03-04: Friday the 8th a holiday, Saturday the 9th worked in its place.
class AbsenceFixture : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeShifts({{1, "早", "08:00:00", "12:00:00", true, false, false}});
        writeEmployees({{"张三", false, "", 4, 11, 1, "1"},
                        {"李四", false, "", 4, 12, 1, "2"},
                        {"管理员", true, "8888", 1, 0, 1, ""}, // an operator only: no card
                        {"王五", true, "1", 1, 13, 1, "3"}});  // an operator who punches
        SetCalendarDay({QDate(2024, 3, 8), CalendarKind::Holiday, "假日"});
        SetCalendarDay({QDate(2024, 3, 9), CalendarKind::Workday, "调休"});
        calendar = WorkCalendar::Read();
        insert("2024-03-04", "张三", "08:00:00");
        insert("2024-03-05", "张三", "00:00:00");     // 00:00:00 is no punch: absent
        insert("2024-03-06", "张三", QVariant(), 1);  // a reason: not absent
        insert("2024-03-07", "张三", QVariant(), 9);  // a number that is no reason: absent
        insert("2024-03-08", "李四", "08:00:00");     // the holiday does not count either way
        insert("2024-03-09", "张三", "08:05:00");     // the make-up Saturday, attended
        insert("2024-03-10", "张三", QVariant(), -1); // a Sunday
    }
    void insert(const QString& date, const QString& name, const QVariant& t0, const QVariant& leave = {}) {
        ExecSql("insert into WorkList (DDate, Name, T0, LeaveType) values (?, ?, ?, ?)",
                {date, name, t0, leave});
    }
    QList<QStringList> statistics(const QDate& today) {
        const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OffDuty);
        const QList<StatEmployee> employees = StatEmployees();
        QList<QStringList> lines = ComputeStatistics(slotTable, ReadLeaveReasons("SerialNo"), employees,
                                                     first, last, calendar.workDayCount(first, last));
        AppendAbsentDays(lines, employees, calendar, first, last, today, 3);
        return lines;
    }

    WorkCalendar calendar;
    const QDate first{2024, 3, 4};
    const QDate last{2024, 3, 10};
};

using AbsenceTest = test::OnEachEngine<AbsenceFixture>;
KQ_ON_EACH_ENGINE(AbsenceTest);

TEST_P(AbsenceTest, StatisticsCountDaysToAttendAndAbsentDaysByTheCalendar) {
    EXPECT_EQ(StatColumns(BuildSlotTable(AccumulateOn::OffDuty), ReadLeaveReasons("SerialNo")),
              QStringList({"工号", "姓名", "部门", "早迟到次数", "早迟到时间", "事假次数", "病假次数",
                           "出差次数", "应出勤天数", "缺勤天数"}));
    const QList<QStringList> lines = statistics(QDate(2024, 3, 31));
    ASSERT_EQ(lines.size(), 4);
    // Employee.dat in Dept order, all of department 1: file order.
    EXPECT_EQ(lines[0], QStringList({"11", "张三", "办公室", "1", "  0:05:00", "1", "", "", "5", "2"}));
    EXPECT_EQ(lines[1], QStringList({"12", "李四", "办公室", "", "", "", "", "", "5", "5"}));
    EXPECT_EQ(lines[2], QStringList({"0", "管理员", "办公室", "", "", "", "", "", "5", ""}));
    EXPECT_EQ(lines[3], QStringList({"13", "王五", "办公室", "", "", "", "", "", "5", "5"}));

    // Days after today are not missed yet.
    const QList<QStringList> early = statistics(QDate(2024, 3, 6));
    EXPECT_EQ(early[0].last(), "1");
    EXPECT_EQ(early[1].last(), "3");
    EXPECT_EQ(statistics(QDate(2024, 3, 3))[1].last(), "");
}

TEST_P(AbsenceTest, QueryTotalsLine) {
    const QDate today(2024, 3, 31);
    EXPECT_EQ(QueryAbsentDays(RecordFilter::Period("张三", first, last), calendar, today, 3), 2);
    EXPECT_EQ(QueryAbsentDays(RecordFilter::Period("", first, last), calendar, today, 3), 2 + 5 + 5);
    EXPECT_EQ(QueryAbsentDays(RecordFilter::Period("管理员", first, last), calendar, today, 3), 0);
    EXPECT_EQ(QueryAbsentDays(RecordFilter::Period("赵六", first, last), calendar, today, 3),
              0); // no employee
    EXPECT_EQ(QueryAbsentDays(RecordFilter::Period("张三", last, first), calendar, today, 3), 0);
    EXPECT_EQ(AbsentDaysLine(12), "缺勤天数：12");
    // An empty calendar: the holiday is a workday missed, the Saturday is off.
    EXPECT_EQ(QueryAbsentDays(RecordFilter::Period("张三", first, last), WorkCalendar(), today, 3), 3);
}

TEST(Absence, OperatorOnlyIsAnOperatorWithoutCard) {
    EXPECT_TRUE(IsOperatorOnly(true, ""));
    EXPECT_TRUE(IsOperatorOnly(true, "  "));
    EXPECT_FALSE(IsOperatorOnly(true, "0001"));
    EXPECT_FALSE(IsOperatorOnly(false, ""));
}
