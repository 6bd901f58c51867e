#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <stdexcept>

namespace kq::cli {

// Bad arguments: reported with the usage on stderr, exit code 2, nothing written.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

struct Context {
    QString dataFolder; // ends with "/"
    QTextStream& out;
    QTextStream& err;
    QString database; // --database URL as given; empty when absent
};

// The options and positional words of one command as its parser read them. Options are named
// with their dashes ("--name"). An option the command declares but the form in use never reads
// (an option of "employee add" given to "employee list") is a usage error at rest().
class Args {
public:
    Args(const QCommandLineParser& parser, QStringList positional)
        : m_parser(parser), m_words(std::move(positional)) {}
    bool flag(const QString& name) { return has(name); }
    QString option(const QString& name); // empty when absent
    bool has(const QString& name);
    int intOption(const QString& name, int fallback); // whole decimal numbers only
    QStringList rest();                               // the positional words
    QString takeWord(); // removes and returns the first positional word (empty when none)

private:
    const QCommandLineParser& m_parser;
    QStringList m_words;
    QSet<QString> m_read;
};

using Handler = int (*)(Args& args, Context& ctx);

// An option of a command: its name without dashes, the name of its value (empty for a switch)
// and what it does.
struct OptionSpec {
    QString name;
    QString value;
    QString help;
};

// What a command's help shows: one usage line per form (starting with the verb), a summary,
// its options. --data and --help are every command's.
struct CommandSpec {
    QString verb;
    QStringList usage;
    QString summary;
    QList<OptionSpec> options;
};

// Each command file registers its command with a static Registrar; nothing else is needed for
// the command to be parsed, listed by --help and given its own help.
struct Registrar {
    Registrar(CommandSpec desc, Handler handler);
};

// Refuses (KqError naming it) a data folder that does not exist or was never initialised, so a
// mistyped --data writes nothing.
void RequireDataFolder(const Context& ctx);
// Opens the data folder for a command: requires it, takes it (ClaimDataFolder) as a command for
// the rest of the run and opens KQDataBase. Only init creates a folder or its missing files.
void OpenData(const Context& ctx);

} // namespace kq::cli
