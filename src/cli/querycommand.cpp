#include "cli/clicommand.h"
#include "cli/reportoptions.h"

#include "core/platform/platform.h"
#include "core/reports/absence.h"
#include "core/reports/attendancequery.h"
#include "core/reports/leavereasons.h"
#include "core/reports/rowscan.h"
#include "core/reports/xlswriter.h"

#include <algorithm>

namespace kq::cli {

namespace {

// The query window's refresh over a period (completing the person's days when a name is given):
// the grid's rows, written as they are read, then the totals lines, all from one snapshot. The
// spreadsheet holds at most a sheet's rows.
int RunQuery(Args& args, Context& ctx) {
    const QDate first = DateOption(args, QStringLiteral("--from"));
    const QDate last = DateOption(args, QStringLiteral("--to"));
    const QString name = args.option(QStringLiteral("--name"));
    ExportFiles exports = ExportOptions(args);
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after query"));

    OpenData(ctx);
    const RecordColumns columns = RecordColumns::Load();
    const RecordFilter filter = RecordFilter::Period(name, first, last);
    CompleteRecords(filter);
    const auto snapshot = std::make_shared<WorkListReader>();
    snapshot->holdSnapshot();
    QStringList totals =
        TotalsLines(columns.slotTable(), EvaluateRecords(columns.slotTable(), filter, snapshot));
    totals << AbsentDaysLine(QueryAbsentDays(filter, WorkCalendar::Read(), Now().date(),
                                             int(ReadLeaveReasons().size()), snapshot));
    // An .XLS sheet refuses rows beyond its limit: keeping one row more than it holds is enough for
    // that refusal; the other formats take every row.
    const bool capped = std::any_of(exports.writers.begin(), exports.writers.end(), [](const auto& w) {
        return dynamic_cast<XlsWriter*>(w.get()) != nullptr;
    });
    QList<QStringList> rows;
    ctx.out << columns.titles().join(QLatin1Char('\t')) << '\n';
    ForEachRecordRow(columns, filter, snapshot, [&](const QStringList& row) {
        ctx.out << row.join(QLatin1Char('\t')) << '\n';
        if (!exports.isEmpty() && (!capped || rows.size() <= kXlsMaxRows)) rows.append(row);
        return true;
    });
    for (const QString& line : totals)
        ctx.out << line << '\n';
    const QString current = rows.isEmpty() ? QString() : rows.first().at(2); // the grid's current row
    return WriteExports(exports, QueryXlsTable(columns, std::move(rows), current, totals), ctx);
}

const Registrar
    reg({QStringLiteral("query"),
         {QStringLiteral("query --from yyyy-mm-dd --to yyyy-mm-dd [--name NAME] [--xls FILE] "
                         "[--csv FILE] [--xlsx FILE]")},
         QStringLiteral("The attendance query's rows and totals (a name gets its missing days "
                        "added)."),
         {{QStringLiteral("from"), QStringLiteral("DATE"), QStringLiteral("the first day")},
          {QStringLiteral("to"), QStringLiteral("DATE"), QStringLiteral("the last day")},
          {QStringLiteral("name"), QStringLiteral("NAME"), QStringLiteral("one person's records")},
          {QStringLiteral("xls"), QStringLiteral("FILE"), QStringLiteral("also write an .XLS workbook")},
          {QStringLiteral("csv"), QStringLiteral("FILE"), QStringLiteral("also write CSV (UTF-8)")},
          {QStringLiteral("xlsx"), QStringLiteral("FILE"), QStringLiteral("also write an .xlsx workbook")}}},
        RunQuery);

} // namespace

} // namespace kq::cli
