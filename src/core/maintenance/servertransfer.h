#pragma once

#include <QString>

namespace kq {

// How many records a set of data holds: the rows of WorkList, Inform, the calendar and the
// correction log, and the dataset files.
struct DataCounts {
    qint64 workList = 0;
    qint64 inform = 0;
    qint64 calendar = 0; // in a folder's files: -1 when they hold no such table (no WorkList.db, or
    qint64 auditLog = 0; // one of a layout before it)
    int documents = 0;
    bool operator==(const DataCounts& o) const {
        return workList == o.workList && inform == o.inform && calendar == o.calendar &&
               auditLog == o.auditLog && documents == o.documents;
    }
    bool operator!=(const DataCounts& o) const { return !(*this == o); }
    QString text() const; // "WorkList 12 行，Inform 3 行，WorkCalendar 2 行，AuditLog 5 行，7 个数据文件"
};

// Moves the records between the server (KQDataBase on PostgreSQL) and files laid out as a data
// folder's: WorkList.db and Inform.db (SQLite, the same tables and row numbers) and the seven
// dataset files. So an archive holds the same files whichever engine it was taken from, and
// restores into either.

// Writes the server's records into folder (which must hold no such files yet), all taken from one
// REPEATABLE READ snapshot while stations go on punching. Returns what it wrote. Throws KqError.
DataCounts ExportServerData(const QString& folder);

// Replaces the server's records with those of folder's files in one transaction, all or nothing:
// WorkList and Inform whole (when the file is there), the calendar and the correction log (when
// WorkList.db holds them), and each dataset file folder holds (its
// document's version raised, so every station reads it again). The copy is counted against the
// files before it is committed. Refuses two rows of one name and date, which the server keeps as
// one. Throws KqError.
DataCounts ImportServerData(const QString& folder);

// The records on the server, and in a folder's files.
DataCounts ServerCounts();
DataCounts FolderCounts(const QString& folder);

} // namespace kq
