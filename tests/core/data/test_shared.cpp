#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(SharedRoutines, SqlDateText) {
    EXPECT_EQ(SqlDateText(QDate(2006, 8, 15)), "08/15/2006");
    EXPECT_EQ(SqlDateText(QDate(2007, 1, 1)), "01/01/2007");
    EXPECT_EQ(SqlDateText(QDateTime(QDate(2006, 12, 31), QTime(23, 59, 59))), "12/31/2006");
}

TEST(SharedRoutines, SecondsBetweenWrapsPastMidnight) {
    struct Case {
        QTime from, to;
        double seconds;
    } cases[] = {
        {QTime(22, 0), QTime(6, 0), 28800},
        {QTime(6, 0), QTime(22, 0), 57600},
        {QTime(8, 0), QTime(8, 0), 0},
        {QTime(0, 0), QTime(23, 59, 59), 86399},
        {QTime(8, 0, 0, 500), QTime(8, 0, 1), 0.5},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SecondsBetween(c.from, c.to), c.seconds) << c.from.toString().toStdString();
}

TEST(SharedRoutines, DurationTextRoundsHalfToEven) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {3725, "  1:02:05"}, {90000, " 25:00:00"}, {360000, "100:00:00"}, {0, "  0:00:00"},
        {2.5, "  0:00:02"},  {3.5, "  0:00:04"},   {59.5, "  0:01:00"},   {0.4, "  0:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DurationText(c.seconds), QString::fromUtf8(c.text)) << c.seconds;
}

TEST(SharedRoutines, PadTextCountsGbkBytesAndKeepsWholeCharacters) {
    struct Case {
        const char* text;
        int width;
        const char* result;
    } cases[] = {
        {"ab", -4, "  ab"},
        {"abcdef", 4, "abcd"},
        {"abc", 0, ""},
        {"张三", 6, "张三  "},
        {"张三", -6, "  张三"},
        {"张三丰", 5, "张三 "}, // the third character would be cut in half: dropped,
                                // then filled
        {"a张三", -4, " a张"},
        {"ab", 2, "ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadText(QString::fromUtf8(c.text), c.width, QLatin1Char(' ')), QString::fromUtf8(c.result))
            << c.text << " " << c.width;
}

TEST(SharedRoutines, LastOperatorRoundTrip) {
    SaveLastOperator(QStringLiteral("王'五\\"));
    EXPECT_EQ(LoadLastOperator(), QStringLiteral("王'五\\"));
    SaveLastOperator(QString());
    EXPECT_EQ(LoadLastOperator(), QString());
}

class AddWorkRowTest : public test::DataFolderTest {};

TEST_F(AddWorkRowTest, InsertsOnlyDateAndNameWithAwkwardNames) {
    const QString name = QStringLiteral("O'Brien \\ 张三");
    AddWorkRow(QStringLiteral("2024-02-29"), name);
    QSqlQuery q = ExecSql(
        QStringLiteral("select DDate, Name, T0, LeaveType, Comment from WorkList where Name=?"), {name});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "2024-02-29");
    EXPECT_EQ(q.value(1).toString(), name);
    EXPECT_TRUE(q.value(2).isNull());
    EXPECT_TRUE(q.value(3).isNull());
    EXPECT_TRUE(q.value(4).isNull());
    EXPECT_THROW(AddWorkRow(QStringLiteral("2024-02-30"), name), KqError);
    EXPECT_EQ(countRows(QStringLiteral("select count(*) from WorkList")), 1);
}

TEST_F(AddWorkRowTest, IsEditingFollowsTheDataSetState) {
    DataSet ds;
    EXPECT_FALSE(IsEditing(nullptr));
    EXPECT_FALSE(IsEditing(&ds));
    ds.open(path(QStringLiteral("Department.dat")));
    EXPECT_FALSE(IsEditing(&ds));
    ds.edit();
    EXPECT_TRUE(IsEditing(&ds));
    ds.cancel();
    ds.append();
    EXPECT_TRUE(IsEditing(&ds));
    ds.close();
    EXPECT_FALSE(IsEditing(&ds));
}
