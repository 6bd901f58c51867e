#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/setup/shiftrules.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(ShiftPost, ChecksRunInTheirOrder) {
    struct Case {
        const char* name;
        const char* begin;
        const char* end;
        bool adding;
        int count;
        const char* message;
        ShiftField focus;
    } cases[] = {
        // The length comes first: refused even with the list full and the times empty.
        {"三个字", "", "", true, 10, "班时名称最好为2个字！", ShiftField::Name},
        {"abcde", "08:00:00", "17:00:00", false, 2, "班时名称最好为2个字！", ShiftField::Name},
        {"早班", "", "", true, 10, "最大可设置10个班时！", ShiftField::None},
        {"早班", "08:00:00", "17:00:00", false, 10, "", ShiftField::None}, // modifying one of ten
        {"", "", "", true, 9, "班时名称不能为空！", ShiftField::Name},
        {"早班", "", "", true, 0, "结束时间不能为空！", ShiftField::EndTime}, // end before begin
        {"早班", "", "17:00:00", true, 0, "开始时间不能为空！", ShiftField::BeginTime},
        {"早班", "08:00:00", "17:00:00", true, 9, "", ShiftField::None},
        {"abcd", "22:00:00", "06:00:00", true, 0, "", ShiftField::None}, // overnight shift
        {"    ", "08:00:00", "17:00:00", true, 0, "", ShiftField::None}, // not trimmed
    };
    for (const Case& c : cases) {
        const ShiftCheck r = CheckShiftPost(QString::fromUtf8(c.name), QString::fromUtf8(c.begin),
                                            QString::fromUtf8(c.end), c.adding, c.count);
        EXPECT_EQ(r.message, QString::fromUtf8(c.message)) << c.name << " " << c.count;
        EXPECT_EQ(r.focus, c.focus) << c.name << " " << c.count;
    }
}

TEST(ShiftTimes, TypedTextIsReadOrRefused) {
    struct Case {
        const char* text;
        QTime time;
    } cases[] = {
        {"08:30:15", QTime(8, 30, 15)},
        {"8:5", QTime(8, 5)},
        {" 22:00 ", QTime(22, 0)},
        {"23:59:59", QTime(23, 59, 59)},
        {"24:00:00", QTime()},
        {"08:60", QTime()},
        {"8", QTime()},
        {"08:30:00:00", QTime()},
        {"八点", QTime()},
        {"", QTime()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseTimeText(QString::fromUtf8(c.text)), c.time) << c.text;

    EXPECT_EQ(TimeFromText("7:45", "开始时间"), QTime(7, 45));
    try {
        TimeFromText("25:00", "结束时间");
        FAIL() << "no error";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().startsWith("结束时间“25:00”不是有效的时间")) << e.message().toStdString();
    }
}

class ShiftListTest : public test::DataFolderTest {
protected:
    QList<int> serials(DataSet& ds) {
        QList<int> out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.asInt("SerialNo");
        return out;
    }
    QStringList names(DataSet& ds) {
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.asString("ShiftName");
        return out;
    }
};

TEST_F(ShiftListTest, AppendTakesTheLastNumberPlusOne) {
    writeShifts({});
    DataSet ds;
    ds.open(DataFile("ShiftTime.dat"), "SerialNo");
    AppendShift(ds);
    EXPECT_EQ(ds.asInt("SerialNo"), 1);
    EXPECT_FALSE(ds.value("CheckBegin").isNull());
    EXPECT_FALSE(ds.asBool("CheckBegin") || ds.asBool("CheckEnd") || ds.asBool("IsCalculate"));
    EXPECT_TRUE(ds.value("ShiftName").isNull());
    EXPECT_TRUE(ds.value("BeginTime").isNull());
    ds.close();

    writeShifts({{2, "甲", "08:00:00", "12:00:00", true, false, true},
                 {7, "乙", "13:00:00", "17:00:00", false, true, false}});
    ds.open(DataFile("ShiftTime.dat"), "SerialNo");
    ds.moveTo(0);
    AppendShift(ds);
    EXPECT_EQ(ds.asInt("SerialNo"), 8);
    EXPECT_EQ(ds.state(), DataSet::State::Insert);
}

TEST_F(ShiftListTest, RenumberingKeepsTheOrder) {
    writeShifts({{1, "甲", "08:00:00", "09:00:00", false, false, false},
                 {2, "乙", "09:00:00", "10:00:00", false, false, false},
                 {3, "丙", "10:00:00", "11:00:00", false, false, false},
                 {4, "丁", "11:00:00", "12:00:00", false, false, false}});
    DataSet ds;
    ds.open(DataFile("ShiftTime.dat"), "SerialNo");
    ds.moveTo(1);
    ds.remove();
    RenumberShifts(ds);
    EXPECT_EQ(serials(ds), QList<int>({1, 2, 3}));
    EXPECT_EQ(names(ds), QStringList({"甲", "丙", "丁"}));
    ds.close();
    ds.open(DataFile("ShiftTime.dat"), "SerialNo");
    EXPECT_EQ(serials(ds), QList<int>({1, 2, 3}));
    EXPECT_EQ(names(ds), QStringList({"甲", "丙", "丁"}));
}
