#include "cli/clicommand.h"
#include "cli/reportoptions.h"

#include "core/maintenance/auditlog.h"

namespace kq::cli {

namespace {

// The value of an optional date option; invalid when absent.
QDate OptionalDate(Args& args, const QString& name) {
    return args.has(name) ? DateOption(args, name) : QDate();
}

int List(Args& args, Context& ctx) {
    const QDate first = OptionalDate(args, QStringLiteral("--from"));
    const QDate last = OptionalDate(args, QStringLiteral("--to"));
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after audit list"));
    OpenData(ctx);
    QList<QStringList> rows;
    for (const AuditEntry& e : ReadAuditLog(first, last))
        rows.append({QString::number(e.Seq), e.EntryTime, e.OperatorName, e.Kind, e.RecordKey, e.OldValues,
                     e.NewValues});
    PrintTable(ctx.out,
               {QStringLiteral("Seq"), QStringLiteral("EntryTime"), QStringLiteral("OperatorName"),
                QStringLiteral("Kind"), QStringLiteral("RecordKey"), QStringLiteral("OldValues"),
                QStringLiteral("NewValues")},
               rows);
    return 0;
}

// Exit 1, naming the first broken entry, when an entry was altered or removed.
int Verify(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after audit verify"));
    OpenData(ctx);
    const AuditCheck check = VerifyAuditLog();
    (check.intact() ? ctx.out : ctx.err) << AuditCheckText(check) << Qt::endl;
    return check.intact() ? 0 : 1;
}

int RunAudit(Args& args, Context& ctx) {
    const QString sub = args.takeWord();
    if (sub == QLatin1String("list")) return List(args, ctx);
    if (sub == QLatin1String("verify")) return Verify(args, ctx);
    throw UsageError(QStringLiteral("audit needs list or verify"));
}

const Registrar
    reg({QStringLiteral("audit"),
         {QStringLiteral("audit list [--from yyyy-mm-dd] [--to yyyy-mm-dd]"), QStringLiteral("audit verify")},
         QStringLiteral("List the correction log, or walk its hash chain: exit 1 naming the first "
                        "entry altered or removed."),
         {{QStringLiteral("from"), QStringLiteral("DATE"), QStringLiteral("the first day listed")},
          {QStringLiteral("to"), QStringLiteral("DATE"), QStringLiteral("the last day listed")}}},
        RunAudit);

} // namespace

} // namespace kq::cli
