#pragma once

#include "core/reports/tablewriter.h"

#include <memory>

namespace kq {

// Writes an Office Open XML workbook laid out as the .XLS export (lines above, bold captions,
// rows, lines below, the page footer "Page &P of &N") with typed cells: numbers, durations
// ([h]:mm:ss), times (hh:mm:ss) and dates (yyyy-mm-dd), late and early cells filled red. Rows are
// written as they come (the library's constant-memory mode) into a temporary file that replaces
// the target at finish.
class XlsxWriter : public TableWriter {
public:
    explicit XlsxWriter(const QString& fileName);
    ~XlsxWriter() override;
    void begin(const QStringList& headerLines, const QStringList& columns,
               const QList<CellKind>& kinds) override;
    void row(const QStringList& cells, const QList<int>& marked = {}) override;
    void finish(const QStringList& footerLines) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace kq
