#pragma once

#include <QDate>
#include <QMap>
#include <QString>
#include <QTime>

namespace kq {

// A time typed into a correction box: a time of day "h:m" or "h:m:s", or a date and such a time
// (its time of day counts). Invalid when unreadable.
QTime ParseTypedTime(const QString& text);

// The corrections of one attendance row.
struct RecordEdit {
    qint64 isn = 0;
    QMap<int, QTime> times; // slot → new time; slots not listed keep their stored time
    QString comment;
    int leaveType = -1; // -1: no reason
};

// Writes the edit to the row numbered isn: the listed time columns, Comment (cut to its 80
// GBK bytes) and LeaveType; the values it changes go into the correction log with it, in one
// transaction. Throws KqError.
void UpdateRecord(const RecordEdit& edit);

// Deletes every row of name on date, each with an entry of the correction log, in one
// transaction. Throws KqError.
void DeleteDay(const QDate& date, const QString& name);

} // namespace kq
