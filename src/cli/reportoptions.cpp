#include "cli/reportoptions.h"

#include "core/reports/csvexport.h"
#include "core/reports/xlswriter.h"
#include "core/reports/xlsxexport.h"

namespace kq::cli {

QDate DateOption(Args& args, const QString& name) {
    const QString text = args.option(name);
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        throw UsageError(QStringLiteral("%1 needs a date yyyy-mm-dd, not \"%2\"").arg(name, text));
    return date;
}

ExportFiles ExportOptions(Args& args) {
    ExportFiles files;
    const auto add = [&](const char* option, auto make) {
        const QString name = args.option(QString::fromLatin1(option));
        if (name.isEmpty()) return;
        files.names << name;
        files.writers.push_back(make(name));
    };
    add("--xls", [](const QString& n) { return std::make_unique<XlsWriter>(n); });
    add("--csv", [](const QString& n) { return std::make_unique<CsvWriter>(n); });
    add("--xlsx", [](const QString& n) { return std::make_unique<XlsxWriter>(n); });
    return files;
}

std::vector<TableWriter*> ExportFiles::writerList() const {
    std::vector<TableWriter*> list;
    for (const std::unique_ptr<TableWriter>& writer : writers)
        list.push_back(writer.get());
    return list;
}

int RefuseEmptyExports(const ExportFiles& files, Context& ctx) {
    ctx.err << QStringLiteral("没有数据，未写入 %1").arg(files.names.join(QStringLiteral("、"))) << Qt::endl;
    return 1;
}

int WriteExports(ExportFiles& files, const XlsTable& table, Context& ctx) {
    if (files.isEmpty()) return 0;
    if (table.rows.isEmpty()) return RefuseEmptyExports(files, ctx);
    for (const std::unique_ptr<TableWriter>& writer : files.writers)
        WriteTable(*writer, table);
    return 0;
}

void PrintTable(QTextStream& out, const QStringList& titles, const QList<QStringList>& rows) {
    out << titles.join(QLatin1Char('\t')) << '\n';
    for (const QStringList& row : rows)
        out << row.join(QLatin1Char('\t')) << '\n';
}

} // namespace kq::cli
