#include "cli/clicommand.h"

#include "core/data/engine.h"
#include "core/data/syssetup.h"
#include "core/data/tables.h"

#include <optional>

namespace kq::cli {

namespace {

// "on" or "off" of an option; nothing when it is absent.
std::optional<bool> Switch(Args& args, const QString& name) {
    if (!args.has(name)) return std::nullopt;
    const QString value = args.option(name);
    if (value == QLatin1String("on")) return true;
    if (value == QLatin1String("off")) return false;
    throw UsageError(QStringLiteral("%1 takes on or off, not \"%2\"").arg(name, value));
}

int Show(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after settings show"));
    OpenData(ctx);
    const SysSetupInfo s = ReadSysSetup();
    // The double-swipe column is listed once the refusal is on, so the output stays as it was
    // for folders that never used it.
    const bool doubleSwipe = s.DoubleSwipeSeconds > 0;
    ctx.out << "CompanyName\tStartBrush\tIsBeep\tDatabase" << (doubleSwipe ? "\tDoubleSwipeSeconds\n" : "\n")
            << s.CompanyName << '\t' << (s.StartBrush ? "1" : "0") << '\t' << (s.IsBeep ? "1" : "0") << '\t'
            << EngineText();
    if (doubleSwipe) ctx.out << '\t' << s.DoubleSwipeSeconds;
    ctx.out << '\n';
    return 0;
}

int Set(Args& args, Context& ctx) {
    const bool hasCompany = args.has(QStringLiteral("--company"));
    const QString company = args.option(QStringLiteral("--company"));
    const std::optional<bool> startBrush = Switch(args, QStringLiteral("--start-brush"));
    const std::optional<bool> beep = Switch(args, QStringLiteral("--beep"));
    const bool hasDoubleSwipe = args.has(QStringLiteral("--double-swipe"));
    const int doubleSwipe = args.intOption(QStringLiteral("--double-swipe"), 0);
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after settings set"));
    if (!hasCompany && !startBrush && !beep && !hasDoubleSwipe)
        throw UsageError(QStringLiteral("settings set needs an option"));
    if (doubleSwipe < 0 || doubleSwipe > kMaxDoubleSwipeSeconds)
        throw UsageError(
            QStringLiteral("--double-swipe takes seconds from 0 (off) to %1").arg(kMaxDoubleSwipeSeconds));
    if (const auto refusal = TooWide(QStringLiteral("--company "), company, FieldWidth::CompanyName))
        throw UsageError(*refusal);

    OpenData(ctx);
    const SysSetupInfo read = ReadSysSetup();
    SysSetupInfo s = read;
    if (hasCompany) s.CompanyName = company;
    if (startBrush) s.StartBrush = *startBrush;
    if (beep) s.IsBeep = *beep;
    if (hasDoubleSwipe) s.DoubleSwipeSeconds = doubleSwipe;
    WriteSysSetup(s, read); // only what the options name
    return 0;
}

int RunSettings(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("show")) return Show(args, ctx);
    if (sub == QLatin1String("set")) return Set(args, ctx);
    throw UsageError(QStringLiteral("settings needs show or set"));
}

const Registrar
    reg({QStringLiteral("settings"),
         {QStringLiteral("settings show"),
          QStringLiteral(
              "settings set [--company NAME] [--start-brush on|off] [--beep on|off] [--double-swipe N]")},
         QStringLiteral(
             "Show or change the company name, the start and punch-sound switches and the double-swipe "
             "refusal."),
         {{QStringLiteral("company"), QStringLiteral("NAME"), QStringLiteral("the company name")},
          {QStringLiteral("start-brush"), QStringLiteral("on|off"),
           QStringLiteral("open the punch screen at start")},
          {QStringLiteral("beep"), QStringLiteral("on|off"), QStringLiteral("sound at each punch")},
          {QStringLiteral("double-swipe"), QStringLiteral("N"),
           QStringLiteral("refuse a second swipe of a card within N seconds (0: off, the default)")}}},
        RunSettings);

} // namespace

} // namespace kq::cli
