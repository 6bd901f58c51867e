#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace kq {

class DataSet;

// "mm/dd/yyyy" of the date; the time of day is ignored.
QString SqlDateText(const QDateTime& dateTime);
QString SqlDateText(const QDate& date);

// Inserts an empty attendance row (only DDate and Name) for dateText "yyyy-mm-dd". It does not
// look for an existing row (on the server, whose key allows one row per name and date, a row
// that is there already stays as it is). Throws KqError for an unreadable date or a failing statement.
void AddWorkRow(const QString& dateText, const QString& name);

// A stored punch time: a null or invalid time and 00:00:00 both mean no punch.
bool IsPunch(const QTime& time);

// Seconds from one time of day to another, wrapping past midnight: 0 <= result < 86400.
double SecondsBetween(const QTime& from, const QTime& to);

// "%3d:%02d:%02d" of whole seconds rounded half to even; hours are not wrapped at 24.
QString DurationText(double seconds);

// Fits text to |width| GBK bytes: cut at the last whole character, then filled with fill in
// front (negative width) or at the end (positive width).
QString PadText(const QString& text, int width, QChar fill);

// The last operator signed in, kept under the key path "\SOFTWARE\Venmar\Operator" with the
// value name "Operator" (the registry on Windows, an INI store elsewhere).
void SaveLastOperator(const QString& name); // throws KqError when the store cannot be written
QString LoadLastOperator();

// True while ds is open and in the edit or insert state.
bool IsEditing(const DataSet* ds);

// Date texts used across the system.
QString DateText(const QDate& date);        // yyyy-mm-dd
QString TimeText(const QTime& time);        // hh:nn:ss
QString CaptionDateText(const QDate& date); // yyyy年mm月dd日

} // namespace kq
