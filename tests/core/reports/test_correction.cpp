#include "core/data/database.h"
#include "core/reports/correction.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(Correction, TypedTimes) {
    struct Case {
        const char* text;
        QTime time;
    } cases[] = {
        {"8:5", QTime(8, 5)},
        {" 08:05:07 ", QTime(8, 5, 7)},
        {"23:59:59", QTime(23, 59, 59)},
        {"2024-03-01 8:05", QTime(8, 5)},
        {"2024/3/1 17:30:15", QTime(17, 30, 15)},
        {"25:00", QTime()},
        {"8:60", QTime()},
        {"8", QTime()},
        {"abc", QTime()},
        {"2024-03-01", QTime()},
        {"", QTime()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseTypedTime(c.text), c.time) << c.text;
}

class CorrectionTestFixture : public test::DataFolderTest {
protected:
    QVariantList row(qint64 isn) {
        QSqlQuery q =
            ExecSql("select T0, T1, T2, Comment, LeaveType, DDate, Name from WorkList where ISn = ?", {isn});
        QVariantList values;
        if (q.next())
            for (int i = 0; i < 7; ++i)
                values << q.value(i);
        return values;
    }
};

using CorrectionTest = test::OnEachEngine<CorrectionTestFixture>;
KQ_ON_EACH_ENGINE(CorrectionTest);

TEST_P(CorrectionTest, UpdateWritesListedTimesCommentAndReason) {
    ExecSql("insert into WorkList (DDate, Name, T0, T1, Comment, LeaveType) values "
            "('2024-03-01', '张三', '08:10:00', '17:00:00', 'old', 2)");
    ExecSql("insert into WorkList (DDate, Name, T0) values ('2024-03-01', '李四', '09:00:00')");
    UpdateRecord({1, {{0, QTime(8, 5)}, {2, QTime(13, 0, 1)}}, "O'Neil 说", -1});
    EXPECT_EQ(row(1),
              QVariantList({"08:05:00", "17:00:00", "13:00:01", "O'Neil 说", -1, "2024-03-01", "张三"}));
    UpdateRecord({1, {}, "", 3});
    EXPECT_EQ(row(1), QVariantList({"08:05:00", "17:00:00", "13:00:01", "", 3, "2024-03-01", "张三"}));
    EXPECT_EQ(row(2)[0], "09:00:00");                     // the other row is untouched
    UpdateRecord({1, {}, QString(50, QChar(0x4E2D)), 3}); // 100 GBK bytes
    EXPECT_EQ(row(1)[3], QString(40, QChar(0x4E2D)));
}

TEST_P(CorrectionTest, DeleteDayRemovesEveryRowOfTheNameAndDate) {
    for (const char* values : {"('2024-03-01', '张三')", "('2024-03-01', '张三')", "('2024-03-02', '张三')",
                               "('2024-03-01', '李四')"})
        ExecSql(
            // The server keeps one row per name and date: its second row is not added.
            QStringLiteral("insert into WorkList (DDate, Name) values %1 on conflict do nothing")
                .arg(QString::fromUtf8(values)));
    DeleteDay(QDate(2024, 3, 1), "张三");
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '张三'"), 1);
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '李四'"), 1);
}
