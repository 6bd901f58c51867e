#include "cli/clicommand.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"
#include "core/data/tables.h"
#include "core/shell/employeeinfo.h"

#include <tuple>

namespace kq::cli {

namespace {

int Add(Args& args, Context& ctx) {
    const QString name = args.option(QStringLiteral("--name"));
    const QString card = args.option(QStringLiteral("--card"));
    const std::optional<int> workNo = ParseWorkNo(args.option(QStringLiteral("--workno")));
    const int dept = args.intOption(QStringLiteral("--dept"), 0);
    const bool isOperator = args.flag(QStringLiteral("--operator"));
    const bool hasPassword = args.has(QStringLiteral("--password"));
    const QString password = args.option(QStringLiteral("--password"));
    const bool hasGroup = args.has(QStringLiteral("--group"));
    const int group = args.intOption(QStringLiteral("--group"), 4);
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after employee add"));
    if (name.isEmpty()) throw UsageError(QStringLiteral("--name is required"));
    if (card.isEmpty()) throw UsageError(QStringLiteral("--card is required"));
    if (!workNo) throw UsageError(QStringLiteral("--workno takes a whole number"));
    if (*workNo < 0 || dept < 0) throw UsageError(QStringLiteral("--workno and --dept cannot be negative"));
    for (const auto& [what, text, width] :
         {std::tuple(QStringLiteral("--name"), name, FieldWidth::SName),
          std::tuple(QStringLiteral("--card"), card, FieldWidth::CardNo),
          std::tuple(QStringLiteral("--password"), password, FieldWidth::Password)})
        if (const auto refusal = TooWide(what + QLatin1Char(' '), text, width)) throw UsageError(*refusal);
    if (!isOperator && (hasPassword || hasGroup))
        throw UsageError(QStringLiteral("--password and --group go with --operator"));
    if (isOperator && (!hasPassword || !hasGroup))
        throw UsageError(QStringLiteral("--operator needs --password and --group"));
    if (group < 0) throw UsageError(QStringLiteral("--group cannot be negative"));

    TEmployeeInfo e;
    e.SName = name;
    e.CardNo = card;
    e.IDNo = *workNo;
    e.Dept = dept;
    e.IsOperator = isOperator;
    e.NewPassword = password;
    e.Rigth = group;

    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(schema::Employee::File));
    ds.update([&] {
        // Checked on the file's content under the dataset lock, so a register open beside sees it.
        if (const auto refusal = CheckEmployee(ds, e, -1)) throw KqError(refusal->message);
        ds.append();
        StoreEmployee(ds, e);
    });
    ds.close();
    return 0;
}

int List(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after employee list"));
    OpenData(ctx);
    DataSet ds;
    ds.open(DataFile(schema::Employee::File));
    ctx.out << "SName\tIDNo\tDept\tIsOperator\tRigth\tCardNo\n";
    for (int row = 0; row < ds.recordCount(); ++row) {
        const TEmployeeInfo e = EmployeeAt(ds, row);
        ctx.out << e.SName << '\t' << e.IDNo << '\t' << e.Dept << '\t' << (e.IsOperator ? "1" : "0") << '\t'
                << e.Rigth << '\t' << e.CardNo << '\n';
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

const Registrar
    reg({QStringLiteral("employee"),
         {QStringLiteral("employee add --name NAME --card CARD [--workno N] [--dept N] "
                         "[--operator --password PW --group N]"),
          QStringLiteral("employee list")},
         QStringLiteral("Register an employee and card, or list them (a name or card another "
                        "employee holds is refused)."),
         {{QStringLiteral("name"), QStringLiteral("NAME"), QStringLiteral("the employee's name")},
          {QStringLiteral("card"), QStringLiteral("CARD"), QStringLiteral("the card number")},
          {QStringLiteral("workno"), QStringLiteral("N"), QStringLiteral("the work number")},
          {QStringLiteral("dept"), QStringLiteral("N"), QStringLiteral("the department's number")},
          {QStringLiteral("operator"), {}, QStringLiteral("may sign in to the program")},
          {QStringLiteral("password"), QStringLiteral("PW"),
           QStringLiteral("the operator's password (stored as a hash)")},
          {QStringLiteral("group"), QStringLiteral("N"), QStringLiteral("the operator's rights group")}}},
        RunEmployee);

} // namespace

} // namespace kq::cli
