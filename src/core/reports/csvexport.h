#pragma once

#include "core/reports/tablewriter.h"

#include <QSaveFile>
#include <memory>

namespace kq {

// Writes a table as CSV for spreadsheet programs and scripts: UTF-8 with a byte-order mark (so
// that Chinese text opens right), the captions on the first line, one line per row, CRLF line
// ends, fields quoted where they hold a comma, a quote or a line break. Only the table: the lines
// above and below it would break the columns for a program reading it. Rows go to the file as
// they come; the file replaces the target only at finish.
class CsvWriter : public TableWriter {
public:
    explicit CsvWriter(const QString& fileName);
    ~CsvWriter() override;
    void begin(const QStringList& headerLines, const QStringList& columns,
               const QList<CellKind>& kinds) override;
    void row(const QStringList& cells, const QList<int>& marked = {}) override;
    void finish(const QStringList& footerLines) override;

private:
    void line(const QStringList& fields);
    void flush();
    [[noreturn]] void fail();

    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
    QByteArray m_pending;
    QList<CellKind> m_kinds;
};

} // namespace kq
