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
    ctx.out << "CompanyName\tStartBrush\tIsBeep\tDatabase\n"
            << s.CompanyName << '\t' << (s.StartBrush ? "1" : "0") << '\t' << (s.IsBeep ? "1" : "0") << '\t'
            << EngineText() << '\n';
    return 0;
}

int Set(Args& args, Context& ctx) {
    const bool hasCompany = args.has(QStringLiteral("--company"));
    const QString company = args.option(QStringLiteral("--company"));
    const std::optional<bool> startBrush = Switch(args, QStringLiteral("--start-brush"));
    const std::optional<bool> beep = Switch(args, QStringLiteral("--beep"));
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after settings set"));
    if (!hasCompany && !startBrush && !beep) throw UsageError(QStringLiteral("settings set needs an option"));
    if (const auto refusal = TooWide(QStringLiteral("--company "), company, FieldWidth::CompanyName))
        throw UsageError(*refusal);

    OpenData(ctx);
    const SysSetupInfo read = ReadSysSetup();
    SysSetupInfo s = read;
    if (hasCompany) s.CompanyName = company;
    if (startBrush) s.StartBrush = *startBrush;
    if (beep) s.IsBeep = *beep;
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
          QStringLiteral("settings set [--company NAME] [--start-brush on|off] [--beep on|off]")},
         QStringLiteral("Show or change the company name and the start and punch-sound switches."),
         {{QStringLiteral("company"), QStringLiteral("NAME"), QStringLiteral("the company name")},
          {QStringLiteral("start-brush"), QStringLiteral("on|off"),
           QStringLiteral("open the punch screen at start")},
          {QStringLiteral("beep"), QStringLiteral("on|off"), QStringLiteral("sound at each punch")}}},
        RunSettings);

} // namespace

} // namespace kq::cli
