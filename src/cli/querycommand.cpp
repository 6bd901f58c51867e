#include "cli/clicommand.h"
#include "cli/reportoptions.h"

#include "core/reports/attendancequery.h"
#include "core/reports/rowscan.h"
#include "core/reports/xlswriter.h"

namespace kq::cli {

namespace {

// The query window's refresh over a period (completing the person's days when a name is given):
// the grid's rows, written as they are read, then the totals lines, all from one snapshot. The
// spreadsheet holds at most a sheet's rows.
int RunQuery(Args& args, Context& ctx) {
    const QDate first = DateOption(args, QStringLiteral("--from"));
    const QDate last = DateOption(args, QStringLiteral("--to"));
    const QString name = args.option(QStringLiteral("--name"));
    const QString xls = args.option(QStringLiteral("--xls"));
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after query"));

    OpenData(ctx);
    const RecordColumns columns = RecordColumns::Load();
    const RecordFilter filter = RecordFilter::Period(name, first, last);
    CompleteRecords(filter);
    const auto snapshot = std::make_shared<WorkListReader>();
    snapshot->holdSnapshot();
    const QStringList totals =
        TotalsLines(columns.slotTable(), EvaluateRecords(columns.slotTable(), filter, snapshot));
    QList<QStringList> rows;
    ctx.out << columns.titles().join(QLatin1Char('\t')) << '\n';
    ForEachRecordRow(columns, filter, snapshot, [&](const QStringList& row) {
        ctx.out << row.join(QLatin1Char('\t')) << '\n';
        if (!xls.isEmpty() && rows.size() < kXlsMaxRows) rows.append(row);
        return true;
    });
    for (const QString& line : totals)
        ctx.out << line << '\n';
    if (xls.isEmpty()) return 0;
    if (rows.isEmpty()) {
        ctx.err << QStringLiteral("没有数据，未写入 %1").arg(xls) << Qt::endl;
        return 1;
    }
    const QString current = rows.first().at(2); // the grid's first row is the current one
    WriteXls(xls, QueryXlsTable(columns, std::move(rows), current, totals));
    return 0;
}

const Registrar reg("query", "query --from yyyy-mm-dd --to yyyy-mm-dd [--name NAME] [--xls FILE]", RunQuery);

} // namespace

} // namespace kq::cli
