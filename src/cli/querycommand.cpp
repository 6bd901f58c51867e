#include "cli/clicommand.h"
#include "cli/reportoptions.h"

#include "core/data/kqerror.h"
#include "core/platform/platform.h"
#include "core/reports/absence.h"
#include "core/reports/attendancequery.h"
#include "core/reports/leavereasons.h"
#include "core/reports/rowscan.h"

#include <exception>

namespace kq::cli {

namespace {

// The query window's refresh over a period (completing the person's days when a name is given):
// the grid's rows, printed and written into the export files as they are read, then the totals
// lines, all from one snapshot.
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
    // The files' heading names the grid's current row, the first; without rows nothing is written.
    std::vector<TableWriter*> writers;
    QString current;
    if (!exports.isEmpty()) {
        const QList<QStringList> top = RecordRows(columns, filter, snapshot, 1);
        if (!top.isEmpty()) {
            current = top.first().at(2);
            writers = exports.writerList();
        }
    }
    ctx.out << columns.titles().join(QLatin1Char('\t')) << '\n';
    // A file that fails (an .XLS sheet refuses rows beyond its limit) stops none of the printing.
    std::exception_ptr failed;
    try {
        WriteQueryTable(columns, filter, snapshot, current, totals, writers,
                        [&](const QStringList& row) { ctx.out << row.join(QLatin1Char('\t')) << '\n'; });
    } catch (const KqError&) {
        failed = std::current_exception();
    }
    for (const QString& line : totals)
        ctx.out << line << '\n';
    if (failed) std::rethrow_exception(failed);
    if (!exports.isEmpty() && writers.empty()) return RefuseEmptyExports(exports, ctx);
    return 0;
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
