#include "clicommand.h"

#include "data/datafolder.h"
#include "data/dataset.h"

namespace kq::cli {

namespace {

int Add(Args& args, Context& ctx) {
    const QString name = args.option(QStringLiteral("--name"));
    const QString card = args.option(QStringLiteral("--card"));
    const int workNo = args.intOption(QStringLiteral("--workno"), 0);
    const int dept = args.intOption(QStringLiteral("--dept"), 0);
    const bool isOperator = args.flag(QStringLiteral("--operator"));
    const bool hasPassword = args.has(QStringLiteral("--password"));
    const QString password = args.option(QStringLiteral("--password"));
    const bool hasGroup = args.has(QStringLiteral("--group"));
    const int group = args.intOption(QStringLiteral("--group"), 4);
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after employee add"));
    if (name.isEmpty()) throw UsageError(QStringLiteral("--name is required"));
    if (card.isEmpty()) throw UsageError(QStringLiteral("--card is required"));
    if (workNo < 0 || dept < 0) throw UsageError(QStringLiteral("--workno and --dept cannot be negative"));
    if (!isOperator && (hasPassword || hasGroup))
        throw UsageError(QStringLiteral("--password and --group go with --operator"));
    if (isOperator && (!hasPassword || !hasGroup))
        throw UsageError(QStringLiteral("--operator needs --password and --group"));
    if (group < 0) throw UsageError(QStringLiteral("--group cannot be negative"));

    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(QStringLiteral("Employee.dat")));
    ds.append();
    ds.setValue(QStringLiteral("SName"), name);
    ds.setValue(QStringLiteral("IsOperator"), isOperator);
    ds.setValue(QStringLiteral("Password"), password);
    ds.setValue(QStringLiteral("Rigth"), group);
    ds.setValue(QStringLiteral("IDNo"), workNo);
    ds.setValue(QStringLiteral("Dept"), dept);
    ds.setValue(QStringLiteral("CardNo"), card);
    ds.post();
    ds.close();
    return 0;
}

int List(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after employee list"));
    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(QStringLiteral("Employee.dat")));
    ctx.out << "SName\tIDNo\tDept\tIsOperator\tRigth\tCardNo\n";
    for (ds.first(); !ds.eof(); ds.next()) {
        ctx.out << ds.asString(QStringLiteral("SName")) << '\t' << ds.asInt(QStringLiteral("IDNo")) << '\t'
                << ds.asInt(QStringLiteral("Dept")) << '\t' << (ds.asBool(QStringLiteral("IsOperator")) ? "1" : "0")
                << '\t' << ds.asInt(QStringLiteral("Rigth")) << '\t' << ds.asString(QStringLiteral("CardNo")) << '\n';
    }
    ds.close();
    return 0;
}

int RunEmployee(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("add")) return Add(args, ctx);
    if (sub == QLatin1String("list")) return List(args, ctx);
    throw UsageError(QStringLiteral("employee needs add or list"));
}

const Registrar reg("employee",
                    "employee add --name NAME --card CARD [--workno N] [--dept N] [--operator --password PW --group N]"
                    " | employee list",
                    RunEmployee);

} // namespace

} // namespace kq::cli
