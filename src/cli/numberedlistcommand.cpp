#include "cli/clicommand.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"
#include "core/data/tables.h"
#include "core/setup/numberedlist.h"

#include <QRegularExpression>

namespace kq::cli {

namespace {

// A list numbered 1..n: departments or absence reasons.
struct ListFile {
    const char* verb;
    QString file;
    QString numberField;
    QString nameField;
    int nameWidth;
};

const ListFile kDepartments = {"department", schema::Department::File, schema::Department::ID,
                               schema::Department::DeptName, FieldWidth::DeptName};
const ListFile kReasons = {"reason", schema::BlankReson::File, schema::BlankReson::SerialNo,
                           schema::BlankReson::Name, FieldWidth::ReasonName};

int RunList(const ListFile& list, Args& args, Context& ctx) {
    const QString verb = QLatin1String(list.verb);
    const QString& number = list.numberField;
    const QString& name = list.nameField;
    const QString sub = args.takeWord();
    const QStringList words = args.rest();
    const auto open = [&](DataSet& ds) {
        OpenData(ctx);
        ds.open(DataFile(list.file), number);
    };
    if (sub == QLatin1String("list")) {
        if (!words.isEmpty()) throw UsageError(QStringLiteral("unexpected words after %1 list").arg(verb));
        DataSet ds;
        open(ds);
        ctx.out << number << '\t' << name << '\n';
        for (ds.first(); !ds.eof(); ds.next())
            ctx.out << ds.asInt(number) << '\t' << ds.asString(name) << '\n';
        return 0;
    }
    if (sub == QLatin1String("add")) {
        if (words.size() != 1) throw UsageError(QStringLiteral("%1 add needs NAME").arg(verb));
        if (const auto refusal = TooWide(QStringLiteral("NAME "), words.first(), list.nameWidth))
            throw UsageError(*refusal);
        DataSet ds;
        open(ds);
        ds.update([&] { AppendNumbered(ds, number, name, words.first()); });
        ds.close();
        return 0;
    }
    if (sub == QLatin1String("delete")) {
        static const QRegularExpression whole(QStringLiteral("^\\d{1,9}$"));
        if (words.size() != 1 || !whole.match(words.first()).hasMatch())
            throw UsageError(QStringLiteral("%1 delete needs NUMBER").arg(verb));
        DataSet ds;
        open(ds);
        ds.update([&] {
            if (!ds.locate(number, {words.first().toInt()}))
                throw KqError(QStringLiteral("%1 %2 does not exist").arg(verb, words.first()));
            RemoveNumbered(ds, number);
        });
        ds.close();
        return 0;
    }
    throw UsageError(QStringLiteral("%1 needs list, add or delete").arg(verb));
}

int RunDepartment(Args& args, Context& ctx) {
    return RunList(kDepartments, args, ctx);
}
int RunReason(Args& args, Context& ctx) {
    return RunList(kReasons, args, ctx);
}

const Registrar departmentReg({QStringLiteral("department"),
                               {QStringLiteral("department list"), QStringLiteral("department add NAME"),
                                QStringLiteral("department delete NUMBER")},
                               QStringLiteral("List, add or delete departments (the ones after a deleted "
                                              "one are renumbered)."),
                               {}},
                              RunDepartment);
const Registrar reasonReg({QStringLiteral("reason"),
                           {QStringLiteral("reason list"), QStringLiteral("reason add NAME"),
                            QStringLiteral("reason delete NUMBER")},
                           QStringLiteral("List, add or delete absence reasons (the ones after a deleted "
                                          "one are renumbered)."),
                           {}},
                          RunReason);

} // namespace

} // namespace kq::cli
