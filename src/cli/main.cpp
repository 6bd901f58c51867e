#include "cli/clicommand.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/maintenance/folderclaim.h"
#include "core/maintenance/restorestage.h"
#include "core/platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <map>

namespace kq::cli {

namespace {

struct Verb {
    QString usage;
    Handler handler;
};

std::map<QString, Verb>& Verbs() {
    static std::map<QString, Verb> verbs;
    return verbs;
}

// Messages a command would show in a box go to stderr; questions are answered No.
class StderrPrompter : public Prompter {
public:
    explicit StderrPrompter(QTextStream& err) : m_err(err) {}
    void message(const QString&, const QString& text, Icon) override { m_err << text << Qt::endl; }
    bool ask(const QString&, const QString& text) override {
        m_err << text << Qt::endl;
        return false;
    }
    bool confirm(const QString&, const QString& text) override {
        m_err << text << Qt::endl;
        return false;
    }
    void error(const QString& text) override { m_err << text << Qt::endl; }

private:
    QTextStream& m_err;
};

void PrintUsage(QTextStream& err) {
    err << "usage: kaoqin-cli [--data DIR] COMMAND ...\ncommands:\n";
    for (const auto& [verb, v] : Verbs())
        err << "  " << v.usage << "\n";
    err.flush();
}

} // namespace

Registrar::Registrar(const char* verb, const char* usage, Handler handler) {
    Verbs()[QString::fromUtf8(verb)] = Verb{QString::fromUtf8(usage), handler};
}

bool Args::flag(const QString& name) {
    return m_words.removeAll(name) > 0;
}

QString Args::option(const QString& name) {
    const int i = int(m_words.indexOf(name));
    if (i < 0) return {};
    if (i + 1 >= m_words.size()) throw UsageError(QStringLiteral("%1 needs a value").arg(name));
    const QString value = m_words.at(i + 1);
    m_words.remove(i, 2);
    return value;
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
    for (const QString& w : m_words)
        if (w.startsWith(QLatin1String("--"))) throw UsageError(QStringLiteral("unknown option %1").arg(w));
    return m_words;
}

QString Args::takeWord() {
    if (m_words.isEmpty() || m_words.first().startsWith(QLatin1String("--"))) return {};
    return m_words.takeFirst();
}

void RequireDataFolder(const Context& ctx) {
    // A folder in the middle of an interrupted restore may lack a database until it is completed.
    if (!IsDataFolder(ctx.dataFolder) && !RestoreInterrupted(ctx.dataFolder))
        throw KqError(QStringLiteral("数据文件夹不存在或未初始化：%1（新建请用 init）")
                          .arg(QDir::toNativeSeparators(ctx.dataFolder)));
}

void OpenData(const Context& ctx) {
    RequireDataFolder(ctx);
    ClaimDataFolder(ctx.dataFolder, OwnerLock::Command);
    OpenKQDataBase(ctx.dataFolder);
}

int Run(QStringList words, QTextStream& out, QTextStream& err) {
    QString folder;
    if (!words.isEmpty() && words.first() == QLatin1String("--data")) {
        if (words.size() < 2) {
            err << "--data needs a folder" << Qt::endl;
            PrintUsage(err);
            return 2;
        }
        folder = words.at(1);
        words.remove(0, 2);
    }
    if (words.isEmpty() || !Verbs().count(words.first())) {
        if (!words.isEmpty()) err << "unknown command: " << words.first() << Qt::endl;
        PrintUsage(err);
        return 2;
    }
    ComputeDataFolder(folder);
    Context ctx{DataFolder(), out, err};
    const Verb verb = Verbs().at(words.takeFirst());
    Args args(words);
    try {
        const int code = verb.handler(args, ctx);
        out.flush();
        return code;
    } catch (const UsageError& e) {
        err << e.text << Qt::endl << "usage: kaoqin-cli [--data DIR] " << verb.usage << Qt::endl;
        return 2;
    } catch (const KqError& e) {
        out.flush();
        err << e.message() << Qt::endl;
        return 1;
    }
}

} // namespace kq::cli

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    kq::Services().prompter = std::make_unique<kq::cli::StderrPrompter>(err);
    QStringList words = QCoreApplication::arguments();
    words.removeFirst();
    const int code = kq::cli::Run(words, out, err);
    kq::CloseKQDataBase();
    return code;
}
