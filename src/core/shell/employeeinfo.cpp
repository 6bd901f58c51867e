#include "shell/employeeinfo.h"

#include "data/datafolder.h"
#include "data/dataset.h"
#include "data/gbk.h"

#include <QRegularExpression>

namespace kq {

namespace {

// The entry of a 1-based number in list; empty when the number is outside it.
QString Numbered(const QStringList& list, int number) {
    return number >= 1 && number <= list.size() ? list.at(number - 1) : QString();
}

} // namespace

TEmployeeInfo EmployeeAt(const DataSet& ds, int row) {
    TEmployeeInfo e;
    e.IDNo = ds.valueAt(row, QStringLiteral("IDNo")).toInt();
    e.SName = ds.valueAt(row, QStringLiteral("SName")).toString();
    e.Dept = ds.valueAt(row, QStringLiteral("Dept")).toInt();
    e.CardNo = ds.valueAt(row, QStringLiteral("CardNo")).toString();
    e.IsOperator = ds.valueAt(row, QStringLiteral("IsOperator")).toBool();
    e.Password = ds.valueAt(row, QStringLiteral("Password")).toString();
    e.Rigth = ds.valueAt(row, QStringLiteral("Rigth")).toInt();
    return e;
}

void StoreEmployee(DataSet& ds, const TEmployeeInfo& info) {
    ds.setValue(QStringLiteral("IDNo"), info.IDNo);
    ds.setValue(QStringLiteral("SName"), info.SName);
    ds.setValue(QStringLiteral("Dept"), info.Dept);
    ds.setValue(QStringLiteral("CardNo"), info.CardNo);
    ds.setValue(QStringLiteral("IsOperator"), info.IsOperator);
    ds.setValue(QStringLiteral("Password"), info.Password);
    ds.setValue(QStringLiteral("Rigth"), info.Rigth);
    ds.post();
}

QStringList DepartmentNames() {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(QStringLiteral("DeptName"));
    ds.close();
    return names;
}

EmployeeCalcFields CalcEmployeeFields(const TEmployeeInfo& e, const QStringList& groups,
                                      const QStringList& departments) {
    EmployeeCalcFields c;
    c.cDept = Numbered(departments, e.Dept);
    c.cIsOperator = e.IsOperator ? QStringLiteral("√") : QString();
    c.cPwd = QString(GbkWidth(e.Password), QLatin1Char('*'));
    c.cRigth = Numbered(groups, e.Rigth);
    return c;
}

std::optional<int> ParseWorkNo(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return 0;
    bool ok = false;
    if (whole.match(text).hasMatch()) {
        const int n = trimmed.toInt(&ok);
        if (ok) return n;
        return std::nullopt;
    }
    trimmed.toDouble(&ok);
    if (ok) return std::nullopt;
    return 0;
}

} // namespace kq
