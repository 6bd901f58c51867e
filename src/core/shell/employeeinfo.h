#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kq {

class DataSet;

// One employee as the employee dialog takes and returns it.
struct TEmployeeInfo {
    int IDNo = 0;
    QString Caption;
    QString SName;
    int Dept = 0; // ID of Department.dat, 0 for none
    QString CardNo;
    bool IsOperator = false;
    QString Password;
    int Rigth = 0;     // rights group number, 0 for none
    QString RigthName; // on return: the group's name as shown
    bool Confirmed = false;
};

// The stored fields of row (0-based, visible order) of an open Employee.dat dataset.
TEmployeeInfo EmployeeAt(const DataSet& ds, int row);

// Sets the seven stored fields of the row being edited or appended, in field order, and posts.
void StoreEmployee(DataSet& ds, const TEmployeeInfo& info);

// The department names of Department.dat in ID order; a department's ID is its position + 1.
QStringList DepartmentNames();

// The register's calculated columns of one employee.
struct EmployeeCalcFields {
    QString cDept;       // the department's name
    QString cIsOperator; // "√" for an operator
    QString cPwd;        // one "*" per byte of the password
    QString cRigth;      // the rights group's name
};
EmployeeCalcFields CalcEmployeeFields(const TEmployeeInfo& e, const QStringList& groups,
                                      const QStringList& departments);

// The work number typed into the dialog: blank gives 0, a whole number (blanks and a sign
// allowed) gives its value, text that is no number at all gives 0. A number with a fraction or
// an exponent, or one beyond the 32-bit range, is refused (no value).
std::optional<int> ParseWorkNo(const QString& text);

} // namespace kq
