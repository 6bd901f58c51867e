#include "support/tempdata.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/tables.h"
#include "core/shell/operatorinfo.h"

namespace kq::test {

void DataFolderTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    fakes = new Fakes;
    SetDataFolder(dir.path());
    CreateMissingDataFiles(DataFolder());
    OpenKQDataBase(DataFolder());
    CurOperator() = TOperatorInfo();
}

void DataFolderTest::TearDown() {
    CloseKQDataBase();
    delete fakes;
}

QString DataFolderTest::path(const QString& name) const {
    return DataFolder() + name;
}

void DataFolderTest::writeShifts(const QList<QVariantList>& rows) {
    DataSet::writeFile(path(QStringLiteral("ShiftTime.dat")), ShiftTimeFields(), rows);
}

void DataFolderTest::writeDayShifts() {
    writeShifts({{1, QStringLiteral("早班"), QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), true,
                  true, true},
                 {2, QStringLiteral("午班"), QStringLiteral("13:30:00"), QStringLiteral("17:30:00"), true,
                  true, true}});
}

void DataFolderTest::writeEmployees(const QList<QVariantList>& rows) {
    DataSet::writeFile(path(QStringLiteral("Employee.dat")), EmployeeFields(), rows);
}

int DataFolderTest::countRows(const QString& sql, const QVariantList& values) {
    QSqlQuery q = ExecSql(sql, values);
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace kq::test
