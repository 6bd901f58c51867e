#pragma once

#include <QString>

// The names of the dataset files in the data folder and of the fields each one holds, written
// once here. The stored names keep their historical spellings (BlankReson, RigthTable, Rigth):
// files written by earlier versions and by other stations use them.
namespace kq::schema {

// The staff, operators among them (with a password and a rights group).
namespace Employee {
inline const QString File = QStringLiteral("Employee.dat");
inline const QString SName = QStringLiteral("SName");
inline const QString IsOperator = QStringLiteral("IsOperator");
inline const QString Password = QStringLiteral("Password");
inline const QString Rigth = QStringLiteral("Rigth"); // the rights group, 1-based
inline const QString IDNo = QStringLiteral("IDNo");
inline const QString Dept = QStringLiteral("Dept"); // the department's ID
inline const QString CardNo = QStringLiteral("CardNo");
} // namespace Employee

namespace Department {
inline const QString File = QStringLiteral("Department.dat");
inline const QString ID = QStringLiteral("ID");
inline const QString DeptName = QStringLiteral("DeptName");
} // namespace Department

// The shifts of a day, numbered from 1 in SerialNo.
namespace ShiftTime {
inline const QString File = QStringLiteral("ShiftTime.dat");
inline const QString SerialNo = QStringLiteral("SerialNo");
inline const QString ShiftName = QStringLiteral("ShiftName");
inline const QString BeginTime = QStringLiteral("BeginTime");
inline const QString EndTime = QStringLiteral("EndTime");
inline const QString CheckBegin = QStringLiteral("CheckBegin");
inline const QString CheckEnd = QStringLiteral("CheckEnd");
inline const QString IsCalculate = QStringLiteral("IsCalculate");
inline const QString LateGrace = QStringLiteral("LateGrace");
inline const QString EarlyGrace = QStringLiteral("EarlyGrace");
} // namespace ShiftTime

// The reasons of an absence.
namespace BlankReson {
inline const QString File = QStringLiteral("BlankReson.dat");
inline const QString SerialNo = QStringLiteral("SerialNo");
inline const QString Name = QStringLiteral("Name");
inline const QString Detain = QStringLiteral("Detain");
} // namespace BlankReson

// The rights groups, numbered from 1 in SerialNo.
namespace RigthTable {
inline const QString File = QStringLiteral("RigthTable.dat");
inline const QString SerialNo = QStringLiteral("SerialNo");
inline const QString Name = QStringLiteral("Name");
} // namespace RigthTable

// The functions each rights group may use: one row per group (ID) and function number (Name).
namespace FuncList {
inline const QString File = QStringLiteral("FuncList.dat");
inline const QString ID = QStringLiteral("ID");
inline const QString Name = QStringLiteral("Name");
} // namespace FuncList

// The one settings row.
namespace SysSetup {
inline const QString File = QStringLiteral("SysSetup.Dat");
inline const QString StartBrush = QStringLiteral("StartBrush");
inline const QString CompanyName = QStringLiteral("CompanyName");
inline const QString IsBeep = QStringLiteral("IsBeep");
inline const QString DoubleSwipeSeconds = QStringLiteral("DoubleSwipeSeconds");
} // namespace SysSetup

} // namespace kq::schema
