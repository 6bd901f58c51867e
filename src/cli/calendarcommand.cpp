#include "cli/clicommand.h"
#include "cli/reportoptions.h"

#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/reports/evaluation.h"
#include "core/setup/workcalendar.h"

namespace kq::cli {

namespace {

QDate DayWord(const QString& text) {
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        throw UsageError(QStringLiteral("DATE must be a day yyyy-mm-dd, not \"%1\"").arg(text));
    return day;
}

// --holiday or --workday, exactly one of them.
CalendarKind KindArg(Args& args) {
    const bool holiday = args.flag(QStringLiteral("--holiday"));
    const bool workday = args.flag(QStringLiteral("--workday"));
    if (holiday == workday) throw UsageError(QStringLiteral("calendar add needs --holiday or --workday"));
    return workday ? CalendarKind::Workday : CalendarKind::Holiday;
}

int Add(Args& args, Context& ctx) {
    const CalendarKind kind = KindArg(args);
    const QStringList words = args.rest();
    if (words.isEmpty() || words.size() > 2)
        throw UsageError(QStringLiteral("calendar add needs DATE [NAME]"));
    const CalendarDay day{DayWord(words.at(0)), kind, words.value(1)};
    if (const QString refusal = CheckCalendarName(day.name); !refusal.isEmpty()) throw UsageError(refusal);
    OpenData(ctx);
    SetCalendarDay(day);
    return 0;
}

int Delete(Args& args, Context& ctx) {
    const QStringList words = args.rest();
    if (words.size() != 1) throw UsageError(QStringLiteral("calendar delete needs DATE"));
    const QDate date = DayWord(words.at(0));
    OpenData(ctx);
    if (!DeleteCalendarDay(date)) throw KqError(QStringLiteral("日历中没有 %1").arg(DateText(date)));
    return 0;
}

int List(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after calendar list"));
    OpenData(ctx);
    QList<QStringList> rows;
    for (const CalendarDay& day : ReadCalendar())
        rows.append(
            {DateText(day.date), DayOfWeek(day.date),
             day.kind == CalendarKind::Workday ? QStringLiteral("workday") : QStringLiteral("holiday"),
             day.name});
    PrintTable(ctx.out,
               {QStringLiteral("DDate"), QStringLiteral("DayOfWeek"), QStringLiteral("Kind"),
                QStringLiteral("DayName")},
               rows);
    return 0;
}

int RunCalendar(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("add")) return Add(args, ctx);
    if (sub == QLatin1String("list")) return List(args, ctx);
    if (sub == QLatin1String("delete")) return Delete(args, ctx);
    throw UsageError(QStringLiteral("calendar needs add, list or delete"));
}

const Registrar
    reg({QStringLiteral("calendar"),
         {QStringLiteral("calendar add DATE (--holiday | --workday) [NAME]"), QStringLiteral("calendar list"),
          QStringLiteral("calendar delete DATE")},
         QStringLiteral("Keep the holidays and the weekend days that are worked (dates yyyy-mm-dd); "
                        "a listed date gets the new entry."),
         {{QStringLiteral("holiday"), {}, QStringLiteral("the day is a holiday")},
          {QStringLiteral("workday"), {}, QStringLiteral("the day is worked (a make-up workday)")}}},
        RunCalendar);

} // namespace

} // namespace kq::cli
