#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kq {

// One shift as the punch station sees it.
struct TBrushInfo {
    QString ShiftName;
    QTime BeginTime;
    QTime EndTime;
    bool Overnight = false; // EndTime earlier than BeginTime: the shift runs past midnight
};

// The shifts of ShiftTime.dat in ascending SerialNo order; shift k owns slots 2k (on duty) and
// 2k+1 (off duty). Throws KqError when the file cannot be read.
QList<TBrushInfo> ReadBrushInfo();

// The shifts as a punch station keeps them while it runs for days: ShiftTime.dat is read again
// whenever its stamp changes (the hash of the file's bytes, or the server document's version),
// so that a slot never points at a column that now belongs to another shift. Reading the small
// file is cheap; comparing bytes also catches a change of the same size within the same second.
class BrushShifts {
public:
    // Reads the file again when its path or stamp differ from those read last (always the first
    // time); returns whether it did. A file that cannot be read leaves no shifts and its message
    // in error() until the file changes again; an unreachable server leaves the shifts as read.
    bool refresh();
    const QList<TBrushInfo>& info() const { return m_info; }
    const QString& error() const { return m_error; }

private:
    bool m_read = false;
    QString m_path;
    QByteArray m_bytes; // the stamp
    QList<TBrushInfo> m_info;
    QString m_error;
};

// The slot list: for each shift its name + "上班", then its name + "下班".
QStringList SlotLabels(const QList<TBrushInfo>& brushInfo);

// The attendance date of a punch into slot (on duty when even) of shift at now. Comparisons use
// the full precision of now: "later" and "earlier" are strict.
QDate GetBrushDate(const TBrushInfo& shift, int slot, const QDateTime& now);

} // namespace kq
