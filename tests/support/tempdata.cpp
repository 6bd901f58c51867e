#include "tempdata.h"

#include "data/database.h"
#include "data/datafolder.h"
#include "data/dataset.h"
#include "data/firstrun.h"
#include "shell/operatorinfo.h"

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

QString DataFolderTest::path(const QString& name) const { return DataFolder() + name; }

void DataFolderTest::writeShifts(const QList<QVariantList>& rows) {
    DataSet::writeFile(path(QStringLiteral("ShiftTime.dat")),
                       {{QStringLiteral("SerialNo"), FieldType::Integer},
                        {QStringLiteral("ShiftName"), FieldType::String, 30},
                        {QStringLiteral("BeginTime"), FieldType::Time},
                        {QStringLiteral("EndTime"), FieldType::Time},
                        {QStringLiteral("CheckBegin"), FieldType::Boolean},
                        {QStringLiteral("CheckEnd"), FieldType::Boolean},
                        {QStringLiteral("IsCalculate"), FieldType::Boolean}},
                       rows);
}

void DataFolderTest::writeEmployees(const QList<QVariantList>& rows) {
    DataSet::writeFile(path(QStringLiteral("Employee.dat")),
                       {{QStringLiteral("SName"), FieldType::String, 15},
                        {QStringLiteral("IsOperator"), FieldType::Boolean},
                        {QStringLiteral("Password"), FieldType::String, 10},
                        {QStringLiteral("Rigth"), FieldType::Integer},
                        {QStringLiteral("IDNo"), FieldType::Integer},
                        {QStringLiteral("Dept"), FieldType::Integer},
                        {QStringLiteral("CardNo"), FieldType::String, 45}},
                       rows);
}

int DataFolderTest::countRows(const QString& sql, const QVariantList& values) {
    QSqlQuery q = ExecSql(sql, values);
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace kq::test
