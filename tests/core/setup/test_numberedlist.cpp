#include "core/data/dataset.h"
#include "core/setup/numberedlist.h"

#include <gtest/gtest.h>

using namespace kq;

namespace {

// An in-memory department list holding names under the numbers 1..n.
void OpenList(DataSet& ds, const QStringList& names) {
    ds.openInMemory({{"ID", FieldType::Integer}, {"DeptName", FieldType::String, 20}}, "ID");
    for (const QString& name : names)
        AppendNumbered(ds, "ID", "DeptName", name);
}

QStringList Rows(DataSet& ds) {
    QStringList rows;
    for (ds.first(); !ds.eof(); ds.next())
        rows << QString("%1 %2").arg(ds.asInt("ID")).arg(ds.asString("DeptName"));
    return rows;
}

} // namespace

TEST(NumberedList, AppendTakesTheLastNumberPlusOne) {
    DataSet ds;
    OpenList(ds, {});
    AppendNumbered(ds, "ID", "DeptName", "甲");
    EXPECT_EQ(Rows(ds), QStringList({"1 甲"}));
    OpenList(ds, {"a", "b", "c", "d"});
    AppendNumbered(ds, "ID", "DeptName", "一个很长很长很长的部门名称");
    EXPECT_EQ(Rows(ds).last(), "5 一个很长很长很长的部"); // cut to 20 bytes
}

TEST(NumberedList, RemovalRenumbersTheRest) {
    struct Case {
        int removed;
        QStringList left;
    } cases[] = {{1, {"1 a", "2 c"}}, {0, {"1 b", "2 c"}}, {2, {"1 a", "2 b"}}};
    for (const Case& c : cases) {
        DataSet ds;
        OpenList(ds, {"a", "b", "c"});
        ds.moveTo(c.removed);
        RemoveNumbered(ds, "ID");
        EXPECT_EQ(Rows(ds), c.left) << c.removed;
    }
    DataSet empty;
    OpenList(empty, {});
    RemoveNumbered(empty, "ID");
    EXPECT_TRUE(empty.isEmpty());
}
