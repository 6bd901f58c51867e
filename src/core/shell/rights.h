#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kq {

// The names of the functions 0..10, in function-number order.
QStringList FunctionNames();

// The rights groups: the names of RigthTable.dat in SerialNo order. A group's number is its
// position in this list plus 1.
QStringList RightsGroupNames();

// The function numbers granted to group: the rows of FuncList.dat with that ID, in file order.
QList<int> GroupFunctions(int group);

// Replaces the rows of group in FuncList.dat by one row (group, function) per entry of
// functions, in that order; the rows of other groups stay as they are. With expected (the
// group's functions as the caller read them), a group another program changed since is not
// overwritten: ChangedElsewhere is thrown and nothing is written.
void SetGroupFunctions(int group, const QList<int>& functions,
                       const std::optional<QList<int>>& expected = std::nullopt);

// The rights text of group: each granted function number followed by ";" ("0;1;7;8;").
QString RightsText(int group);

} // namespace kq
