#include "cli/clicommand.h"

#include "core/maintenance/perioddelete.h"

namespace kq::cli {

namespace {

QDate DayArg(const QString& text, const char* what) {
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-M-d"));
    if (!day.isValid())
        throw UsageError(
            QStringLiteral("%1 must be a day yyyy-mm-dd, not \"%2\"").arg(QLatin1String(what), text));
    return day;
}

// Deletes the attendance records from FIRST to LAST, both days included, and prints how many
// rows went.
int RunDelete(Args& args, Context& ctx) {
    const QStringList words = args.rest();
    if (words.size() != 2) throw UsageError(QStringLiteral("delete needs FIRST and LAST"));
    const QDate first = DayArg(words.at(0), "FIRST");
    const QDate last = DayArg(words.at(1), "LAST");
    OpenData(ctx);
    ctx.out << DeletePeriod(first, last) << '\n';
    return 0;
}

const Registrar reg({QStringLiteral("delete"),
                     {QStringLiteral("delete FIRST LAST")},
                     QStringLiteral("Delete the attendance records of the days FIRST to LAST (yyyy-mm-dd); "
                                    "prints the count."),
                     {}},
                    RunDelete);

} // namespace

} // namespace kq::cli
