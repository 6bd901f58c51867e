#pragma once

#include <QString>

namespace kq {

// The sign-in record: who signed in last and the functions of that operator's rights group.
struct TOperatorInfo {
    QString Name;
    QString Rigth; // function numbers, each followed by ";" (for example "0;1;7;8;")
    bool IsLogon = false;
};

TOperatorInfo& CurOperator();

// True when one ";"-separated item of rights is the decimal text of function.
bool HasRight(const QString& rights, int function);

// Function numbers of the gated commands.
enum Function {
    FuncEmployee = 0,
    FuncShift = 1,
    FuncLeaveType = 2,
    FuncSystem = 3,
    FuncModify = 4,
    FuncBackup = 5,
    FuncRestore = 6,
    FuncQuery = 7,
    FuncStat = 8,
    FuncInform = 9,
    FuncDelete = 10,
};

} // namespace kq
