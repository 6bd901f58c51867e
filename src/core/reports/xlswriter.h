#pragma once

#include "core/reports/tablewriter.h"

#include <memory>

namespace kq {

// Rows a sheet holds, the lines above and below the table and its captions included.
inline constexpr int kXlsMaxRows = 65536;

// Writes a legacy Excel workbook (BIFF8 in an OLE2 compound file) with one sheet named
// "New Sheet 1" and the printed page footer "Page &P of &N". Captions are bold, numbers of the
// typed columns are number cells with their formats, marked cells have a red fill. The rows are
// kept in memory (a sheet holds 65536 rows) and the file is written at finish; a row beyond the
// sheet's limits throws KqError at once.
class XlsWriter : public TableWriter {
public:
    explicit XlsWriter(const QString& fileName);
    ~XlsWriter() override;
    void begin(const QStringList& headerLines, const QStringList& columns,
               const QList<CellKind>& kinds) override;
    void row(const QStringList& cells, const QList<int>& marked = {}) override;
    void finish(const QStringList& footerLines) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// The whole table through an XlsWriter. Throws KqError on failure; a failed write never leaves a
// partial file under fileName.
void WriteXls(const QString& fileName, const XlsTable& table);

} // namespace kq
