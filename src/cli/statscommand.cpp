#include "cli/clicommand.h"
#include "cli/reportoptions.h"

#include "core/data/schema.h"
#include "core/data/syssetup.h"
#include "core/platform/platform.h"
#include "core/reports/statistics.h"
#include "core/setup/workcalendar.h"

namespace kq::cli {

namespace {

// The period statistics of every employee, as the statistics window computes them.
int RunStats(Args& args, Context& ctx) {
    const QDate first = DateOption(args, QStringLiteral("--from"));
    const QDate last = DateOption(args, QStringLiteral("--to"));
    ExportFiles exports = ExportOptions(args);
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after stats"));

    OpenData(ctx);
    const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OffDuty);
    const QList<LeaveReason> reasons = ReadLeaveReasons(schema::BlankReson::SerialNo);
    const QStringList columns = StatColumns(slotTable, reasons);
    const QList<StatEmployee> employees = StatEmployees();
    const WorkCalendar calendar = WorkCalendar::Read();
    QList<QStringList> lines =
        ComputeStatistics(slotTable, reasons, employees, first, last, calendar.workDayCount(first, last));
    AppendAbsentDays(lines, employees, calendar, first, last, Now().date(), int(reasons.size()));
    PrintTable(ctx.out, columns, lines);
    return WriteExports(exports,
                        StatXlsTable(ReadSysSetup().CompanyName, StatPeriodLine(first, last), columns,
                                     StatColumnKinds(slotTable, reasons), lines),
                        ctx);
}

const Registrar
    reg({QStringLiteral("stats"),
         {QStringLiteral("stats --from yyyy-mm-dd --to yyyy-mm-dd [--xls FILE] [--csv FILE] "
                         "[--xlsx FILE]")},
         QStringLiteral("The period statistics of every employee."),
         {{QStringLiteral("from"), QStringLiteral("DATE"), QStringLiteral("the first day")},
          {QStringLiteral("to"), QStringLiteral("DATE"), QStringLiteral("the last day")},
          {QStringLiteral("xls"), QStringLiteral("FILE"), QStringLiteral("also write an .XLS workbook")},
          {QStringLiteral("csv"), QStringLiteral("FILE"), QStringLiteral("also write CSV (UTF-8)")},
          {QStringLiteral("xlsx"), QStringLiteral("FILE"), QStringLiteral("also write an .xlsx workbook")}}},
        RunStats);

} // namespace

} // namespace kq::cli
