#pragma once

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
};

// Takes the options and positional words of one command. Unknown options are usage errors.
class Args {
public:
    explicit Args(QStringList words) : m_words(std::move(words)) {}
    bool flag(const QString& name);
    QString option(const QString& name); // empty when absent; a missing value is a usage error
    bool has(const QString& name) const { return m_words.contains(name); }
    int intOption(const QString& name, int fallback); // whole decimal numbers only
    QStringList rest(); // the positional words; a leftover "--x" is a usage error
    QString takeWord(); // removes and returns the first word when it is not an option

private:
    QStringList m_words;
};

using Handler = int (*)(Args& args, Context& ctx);

// Each command file registers its verb with a static Registrar.
struct Registrar {
    Registrar(const char* verb, const char* usage, Handler handler);
};

// Refuses (KqError naming it) a data folder that does not exist or was never initialised, so a
// mistyped --data writes nothing.
void RequireDataFolder(const Context& ctx);
// Opens the data folder for a command: requires it, takes it (ClaimDataFolder) as a command for
// the rest of the run and opens KQDataBase. Only init creates a folder or its missing files.
void OpenData(const Context& ctx);

} // namespace kq::cli
