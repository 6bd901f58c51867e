#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kq {

// Rows a sheet holds, the lines above and below the table and its captions included.
inline constexpr int kXlsMaxRows = 65536;

// A displayed table with the lines above and below it, as handed to the spreadsheet writer.
struct XlsTable {
    QStringList headerLines; // one line per row above the table
    QStringList columns;     // column captions, written bold
    QList<QStringList> rows; // cell texts, one list per row
    QStringList footerLines; // one line per row below the table
};

// Writes a legacy Excel workbook (BIFF8 in an OLE2 compound file) with one sheet named
// "New Sheet 1" and the printed page footer "Page &P of &N". Throws KqError on failure; a
// failed write never leaves a partial file under fileName.
void WriteXls(const QString& fileName, const XlsTable& table);

} // namespace kq
