#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/maintenance/perioddelete.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

namespace {

class PeriodDeleteTestFixture : public test::DataFolderTest {
protected:
    void fill() {
        ExecSql("delete from WorkList");
        for (const char* row : {"2003-12-31 张三", "2004-01-01 张三", "2004-01-15 张三", "2004-01-15 李四",
                                "2004-01-31 张三", "2004-02-01 张三"}) {
            const QStringList dayAndName = QString::fromUtf8(row).split(' ');
            ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {dayAndName[0], dayAndName[1]});
        }
    }
    QStringList days() {
        QStringList out;
        QSqlQuery q = ExecSql("select DDate from WorkList order by DDate");
        while (q.next())
            out << q.value(0).toString();
        return out;
    }
};

using PeriodDeleteTest = test::OnEachEngine<PeriodDeleteTestFixture>;
KQ_ON_EACH_ENGINE(PeriodDeleteTest);

} // namespace

TEST_P(PeriodDeleteTest, DeletesExactlyTheDaysOfThePeriod) {
    struct Case {
        QDate first, last;
        int deleted;
        QStringList left;
    } cases[] = {
        {{2004, 1, 1}, {2004, 1, 31}, 4, {"2003-12-31", "2004-02-01"}},
        {{2004, 1, 15}, {2004, 1, 15}, 2, {"2003-12-31", "2004-01-01", "2004-01-31", "2004-02-01"}},
        {{2004, 1, 31},
         {2004, 1, 1},
         0,
         {"2003-12-31", "2004-01-01", "2004-01-15", "2004-01-15", "2004-01-31", "2004-02-01"}},
        {{1999, 1, 1}, {2099, 12, 31}, 6, {}},
    };
    for (const Case& c : cases) {
        fill();
        EXPECT_EQ(DeletePeriod(c.first, c.last), c.deleted) << c.first.toString().toStdString();
        EXPECT_EQ(days(), c.left) << c.first.toString().toStdString();
    }
}

TEST_P(PeriodDeleteTest, FailureIsThrown) {
    CloseKQDataBase();
    EXPECT_THROW(DeletePeriod(QDate(2004, 1, 1), QDate(2004, 1, 31)), KqError);
    OpenKQDataBase(DataFolder());
}
