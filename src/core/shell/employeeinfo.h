#pragma once

#include <QHash>
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
    QString Password;    // as stored: a hash (or a clear value of an older file), never shown
    QString NewPassword; // typed in place of the stored one; empty keeps it
    int Rigth = 0;       // rights group number, 0 for none
    QString RigthName;   // on return: the group's name as shown
    bool Confirmed = false;
};

// The stored fields of row (0-based, visible order) of an open Employee.dat dataset.
TEmployeeInfo EmployeeAt(const DataSet& ds, int row);

// Sets the seven stored fields of the row being edited or appended, in field order, and posts.
// The password stored is the hash of NewPassword, else the stored one (a clear one hashed now).
void StoreEmployee(DataSet& ds, const TEmployeeInfo& info);

// The department names of Department.dat in ID order; a department's ID is its position + 1.
QStringList DepartmentNames();

// The register's calculated columns of one employee.
struct EmployeeCalcFields {
    QString cDept;       // the department's name
    QString cIsOperator; // "√" for an operator
    QString cPwd;        // "******" when a password is set, whatever its length
    QString cRigth;      // the rights group's name
};
EmployeeCalcFields CalcEmployeeFields(const TEmployeeInfo& e, const QStringList& groups,
                                      const QStringList& departments);

// The work number as typed: blank gives 0, a whole number (blanks and a sign allowed, digits
// half- or full-width as a Chinese input method types them) gives its value; anything else, and
// a number beyond the 32-bit range, is refused (no value).
std::optional<int> ParseWorkNo(const QString& text);

enum class EmployeeField { WorkNo, Name, CardNo, Password };
struct EmployeeRefusal {
    EmployeeField field;
    QString message;
};

// Why e cannot be stored in the open Employee.dat dataset ds in place of its visible row ownRow
// (-1 for a new employee): a text (or the new password) too wide for its field, or a name or card number
// another employee holds (letter case ignored; empty ones are no one's). A value that row already holds stays
// allowed, so that the employees of a file that already holds duplicates can be changed.
std::optional<EmployeeRefusal> CheckEmployee(const DataSet& ds, const TEmployeeInfo& e, int ownRow);

// The visible rows of ds whose name or card number another row also holds, each with the
// position of the first other holder.
struct EmployeeDuplicates {
    QHash<int, int> names;
    QHash<int, int> cards;
};
EmployeeDuplicates FindDuplicates(const DataSet& ds);

} // namespace kq
