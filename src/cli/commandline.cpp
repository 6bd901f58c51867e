#include "cli/commandline.h"

#include "cli/clicommand.h"

#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"

#include <QRegularExpression>
#include <map>

namespace kq::cli {

namespace {

struct Command {
    CommandSpec desc;
    Handler handler;
};

std::map<QString, Command>& Commands() {
    static std::map<QString, Command> commands;
    return commands;
}

const QString kProgram = QStringLiteral("kaoqin-cli");
const OptionSpec kDataOption{QStringLiteral("data"), QStringLiteral("DIR"),
                             QStringLiteral("the data folder (see kaoqin-cli --help)")};
const OptionSpec kDatabaseOption{QStringLiteral("database"), QStringLiteral("URL"),
                                 QStringLiteral("the server the records are on (see kaoqin-cli --help)")};
const OptionSpec kHelpOption{QStringLiteral("help"), {}, QStringLiteral("show this help and exit")};

QCommandLineOption ToOption(const OptionSpec& o) {
    QStringList names{o.name};
    if (o.name == QLatin1String("help")) names.prepend(QStringLiteral("h"));
    return o.value.isEmpty() ? QCommandLineOption(names, o.help) : QCommandLineOption(names, o.help, o.value);
}

// A parser for words, with the given options. Single-dash words are long options, so "-x" is an
// unknown option and never a bundle of letters.
void Configure(QCommandLineParser& parser, const QList<OptionSpec>& options) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec& o : options)
        parser.addOption(ToOption(o));
}

void PrintOptions(QTextStream& s, const QList<OptionSpec>& options) {
    QStringList left;
    int width = 0;
    for (const OptionSpec& o : options) {
        left << QStringLiteral("--") + o.name + (o.value.isEmpty() ? QString() : QLatin1Char(' ') + o.value);
        width = qMax(width, int(left.last().size()));
    }
    for (int i = 0; i < options.size(); ++i)
        s << "  " << left.at(i).leftJustified(width + 2) << options.at(i).help << '\n';
}

QList<OptionSpec> AllOptions(const CommandSpec& desc) {
    return desc.options + QList<OptionSpec>{kDataOption, kDatabaseOption, kHelpOption};
}

void PrintUsageLines(QTextStream& s, const CommandSpec& desc) {
    for (int i = 0; i < desc.usage.size(); ++i)
        s << (i == 0 ? "usage: " : "       ") << kProgram << " [--data DIR] [--database URL] "
          << desc.usage.at(i) << '\n';
}

void PrintCommandHelp(QTextStream& s, const CommandSpec& desc) {
    PrintUsageLines(s, desc);
    s << '\n' << desc.summary << "\n\noptions:\n";
    PrintOptions(s, AllOptions(desc));
    s.flush();
}

void PrintToolHelp(QTextStream& s) {
    s << "usage: " << kProgram << " [--data DIR] [--database URL] COMMAND [ARGUMENTS]\n"
      << "       " << kProgram << " help COMMAND   (or: COMMAND --help)\n"
      << "       " << kProgram << " --version\n\n"
      << "The command-line companion of 考勤管理系统, on the same data folder as the program.\n\n"
      << "options:\n";
    PrintOptions(s, {kDataOption,
                     kDatabaseOption,
                     kHelpOption,
                     {QStringLiteral("version"), {}, QStringLiteral("show the version")}});
    s << "\ncommands:\n";
    int width = 0;
    for (const auto& [verb, c] : Commands())
        width = qMax(width, int(verb.size()));
    for (const auto& [verb, c] : Commands())
        s << "  " << verb.leftJustified(width + 2) << c.desc.summary << '\n';
    s << "\nThe data folder is --data DIR, else $KAOQIN_DATA, else a writable Data folder beside\n"
         "the program, else $XDG_DATA_HOME/kaoqin/Data (~/.local/share/kaoqin/Data).\n"
         "The records are in SQLite files in the data folder, or on a PostgreSQL server shared by\n"
         "several stations: --database postgresql://user@host:port/dbname, else $KAOQIN_DATABASE,\n"
         "else the server that 'init --database URL' stored in the data folder.\n"
         "Exit status: 0 done, 1 refused or failed (message on stderr), 2 bad arguments (usage on\n"
         "stderr, nothing written).\n";
    s.flush();
}

void PrintToolUsage(QTextStream& err) {
    err << "usage: " << kProgram << " [--data DIR] COMMAND [ARGUMENTS]\n"
        << "Try '" << kProgram << " --help' for the commands.\n";
    err.flush();
}

} // namespace

Registrar::Registrar(CommandSpec desc, Handler handler) {
    const QString verb = desc.verb;
    Commands()[verb] = Command{std::move(desc), handler};
}

bool Args::has(const QString& name) {
    const QString bare = name.mid(2);
    m_read.insert(bare);
    return m_parser.isSet(bare);
}

QString Args::option(const QString& name) {
    return has(name) ? m_parser.value(name.mid(2)) : QString();
}

int Args::intOption(const QString& name, int fallback) {
    if (!has(name)) return fallback;
    const QString text = option(name);
    static const QRegularExpression whole(QStringLiteral("^[+-]?\\d{1,9}$"));
    if (!whole.match(text).hasMatch())
        throw UsageError(QStringLiteral("%1 takes a whole number, not \"%2\"").arg(name, text));
    return text.toInt();
}

QStringList Args::rest() {
    for (const QString& given : m_parser.optionNames())
        if (!m_read.contains(given) && given != QLatin1String("data") && given != QLatin1String("database"))
            throw UsageError(QStringLiteral("option --%1 does not apply here").arg(given));
    return m_words;
}

QString Args::takeWord() {
    return m_words.isEmpty() ? QString() : m_words.takeFirst();
}

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    // The tool's own options stop at the command: what follows is the command's.
    QCommandLineParser tool;
    Configure(tool, {kDataOption, kDatabaseOption, kHelpOption, {QStringLiteral("version"), {}, {}}});
    tool.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!tool.parse(QStringList{kProgram} + arguments)) {
        err << tool.errorText() << Qt::endl;
        PrintToolUsage(err);
        return 2;
    }
    QStringList words = tool.positionalArguments();
    if (tool.isSet(QStringLiteral("version"))) {
        out << kProgram << ' ' << KQ_VERSION << Qt::endl;
        return 0;
    }
    if (words.isEmpty() && tool.isSet(QStringLiteral("help"))) {
        PrintToolHelp(out);
        return 0;
    }
    if (!words.isEmpty() && words.first() == QLatin1String("help")) {
        if (words.size() == 1) {
            PrintToolHelp(out);
            return 0;
        }
        const auto it = Commands().find(words.at(1));
        if (words.size() > 2 || it == Commands().end()) {
            err << "no such command: " << words.mid(1).join(QLatin1Char(' ')) << Qt::endl;
            PrintToolUsage(err);
            return 2;
        }
        PrintCommandHelp(out, it->second.desc);
        return 0;
    }
    if (words.isEmpty() || !Commands().count(words.first())) {
        if (!words.isEmpty()) err << "unknown command: " << words.first() << Qt::endl;
        PrintToolUsage(err);
        return 2;
    }
    const Command& command = Commands().at(words.takeFirst());
    QCommandLineParser parser;
    Configure(parser, AllOptions(command.desc));
    const auto usageError = [&](const QString& text) {
        err << text << Qt::endl;
        PrintUsageLines(err, command.desc);
        err << "Try '" << kProgram << ' ' << command.desc.verb << " --help' for more." << Qt::endl;
        return 2;
    };
    if (!parser.parse(QStringList{kProgram} + words)) return usageError(parser.errorText());
    if (tool.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help"))) {
        PrintCommandHelp(out, command.desc);
        return 0;
    }
    const auto given = [&](const QString& name) {
        return parser.isSet(name) ? parser.value(name) : tool.value(name);
    };
    ComputeDataFolder(given(QStringLiteral("data")));
    Context ctx{DataFolder(), out, err, given(QStringLiteral("database"))};
    Args args(parser, parser.positionalArguments());
    try {
        ComputeEngine(ctx.database, ctx.dataFolder);
        const int code = command.handler(args, ctx);
        out.flush();
        return code;
    } catch (const UsageError& e) {
        return usageError(e.text);
    } catch (const KqError& e) {
        out.flush();
        err << e.message() << Qt::endl;
        return 1;
    }
}

} // namespace kq::cli
