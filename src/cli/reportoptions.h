#pragma once

#include "cli/clicommand.h"

#include "core/reports/tablewriter.h"

#include <QDate>
#include <QList>
#include <memory>
#include <vector>

namespace kq::cli {

// The value of a required date option "yyyy-mm-dd"; a usage error when absent or unreadable.
QDate DateOption(Args& args, const QString& name);

// The files a report writes besides its printed table: --xls FILE, --csv FILE, --xlsx FILE.
struct ExportFiles {
    QStringList names;
    std::vector<std::unique_ptr<TableWriter>> writers;
    bool isEmpty() const { return writers.empty(); }
    std::vector<TableWriter*> writerList() const;
};
ExportFiles ExportOptions(Args& args);

// Writes the table into every file; refuses (exit 1, nothing written) a table without rows.
int WriteExports(ExportFiles& files, const XlsTable& table, Context& ctx);
// The refusal of WriteExports for a table without rows: exit 1.
int RefuseEmptyExports(const ExportFiles& files, Context& ctx);

// A table as tab-separated lines under a line of its titles.
void PrintTable(QTextStream& out, const QStringList& titles, const QList<QStringList>& rows);

} // namespace kq::cli
