#include "cli/clicommand.h"

#include "core/shell/rights.h"

#include <QRegularExpression>
#include <algorithm>

namespace kq::cli {

namespace {

// A whole number from 0 to max given as a positional word.
int NumberArg(const QString& text, int max, const char* what) {
    static const QRegularExpression whole(QStringLiteral("^\\d{1,9}$"));
    if (!whole.match(text).hasMatch() || text.toInt() > max)
        throw UsageError(QStringLiteral("%1 must be a whole number from 0 to %2, not \"%3\"")
                             .arg(QLatin1String(what))
                             .arg(max)
                             .arg(text));
    return text.toInt();
}

int List(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after rights list"));
    OpenData(ctx);
    const QStringList groups = RightsGroupNames();
    ctx.out << "Group\tName\tFunctions\n";
    for (int i = 0; i < groups.size(); ++i)
        ctx.out << i + 1 << '\t' << groups.at(i) << '\t' << RightsText(i + 1) << '\n';
    return 0;
}

int Set(Args& args, Context& ctx) {
    const QStringList words = args.rest();
    if (words.isEmpty()) throw UsageError(QStringLiteral("rights set needs GROUP"));
    const int group = NumberArg(words.first(), 999999999, "GROUP");
    const int last = int(FunctionNames().size()) - 1;
    QList<int> functions;
    for (const QString& word : words.mid(1)) {
        const int function = NumberArg(word, last, "FUNCTION");
        if (!functions.contains(function)) functions << function;
    }
    std::sort(functions.begin(), functions.end());
    OpenData(ctx);
    SetGroupFunctions(group, functions);
    return 0;
}

int RunRights(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("list")) return List(args, ctx);
    if (sub == QLatin1String("set")) return Set(args, ctx);
    throw UsageError(QStringLiteral("rights needs list or set"));
}

const Registrar reg({QStringLiteral("rights"),
                     {QStringLiteral("rights list"), QStringLiteral("rights set GROUP [FUNCTION...]")},
                     QStringLiteral("List the rights groups, or replace the functions (0 ... 10) of one."),
                     {}},
                    RunRights);

} // namespace

} // namespace kq::cli
