#pragma once

#include <QList>
#include <QString>

namespace kq {

// One absence reason of BlankReson.dat.
struct LeaveReason {
    int SerialNo = 0;
    QString Name;
};

// The reasons in file order, or ascending by indexField ("SerialNo"). Throws KqError.
QList<LeaveReason> ReadLeaveReasons(const QString& indexField = {});

// The name of the first reason numbered leaveType; empty when none is (reasons count from 1).
QString LeaveNameOf(const QList<LeaveReason>& reasons, int leaveType);

// The number of the first reason named exactly name; -1 when none is.
int LeaveTypeOf(const QList<LeaveReason>& reasons, const QString& name);

} // namespace kq
