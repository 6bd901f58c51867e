#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/reports/rowscan.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

class RowScanTest : public test::DataFolderTest {};

TEST_F(RowScanTest, ReadsBoundRowsAndReportsEngineErrors) {
    ExecSql("insert into WorkList (DDate, Name, T0, LeaveType) values ('2024-03-01', 'O''Neil 张', "
            "'08:00:00', 2)");
    ExecSql("insert into WorkList (DDate, Name) values ('2024-03-02', '李四')");
    RowScan scan("select Name, T0, LeaveType from WorkList where DDate >= ? and ISn >= ? order by DDate",
                 {"2024-03-01", 1});
    ASSERT_TRUE(scan.next());
    EXPECT_EQ(QString::fromUtf8(scan.text(0)), "O'Neil 张");
    EXPECT_EQ(scan.text(1), "08:00:00");
    EXPECT_EQ(scan.integer(2), 2);
    ASSERT_TRUE(scan.next());
    EXPECT_TRUE(scan.isNull(1));
    EXPECT_TRUE(scan.text(1).isEmpty());
    EXPECT_EQ(scan.integer(2), 0);
    EXPECT_FALSE(scan.next());

    EXPECT_THROW(RowScan("select nothing from NoTable", {}), KqError);
    // Reading never writes: the scan's connection is read-only.
    EXPECT_THROW(RowScan("delete from WorkList", {}).next(), KqError);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
}
