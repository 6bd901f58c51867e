#include "cli/clicommand.h"
#include "cli/punchimport.h"

#include "core/data/syssetup.h"
#include "core/platform/platform.h"
#include "core/punch/brushinfo.h"
#include "core/punch/punchrecorder.h"
#include "core/punch/slotchoice.h"

namespace kq::cli {

namespace {

int RunPunch(Args& args, Context& ctx) {
    if (args.has(QStringLiteral("--import"))) {
        const QString file = args.option(QStringLiteral("--import"));
        if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("punch --import takes no card number"));
        return ImportPunches(file, ctx);
    }
    const bool hasSlot = args.has(QStringLiteral("--slot"));
    const int slot = args.intOption(QStringLiteral("--slot"), 0);
    const QString at = args.option(QStringLiteral("--at"));
    const QStringList words = args.rest();
    if (words.size() != 1) throw UsageError(QStringLiteral("punch takes one card number"));
    const QString card = words.first().trimmed();
    if (card.isEmpty()) throw UsageError(QStringLiteral("the card number is blank"));
    QDateTime now = Now();
    if (!at.isEmpty()) {
        now = QDateTime::fromString(at, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (!now.isValid())
            throw UsageError(QStringLiteral("--at takes \"yyyy-mm-dd hh:nn:ss\", not \"%1\"").arg(at));
    }

    OpenData(ctx);
    const QList<TBrushInfo> brushInfo = ReadBrushInfo();
    int chosen = -1;
    if (hasSlot) {
        if (!brushInfo.isEmpty() && (slot < 0 || slot >= 2 * brushInfo.size()))
            throw UsageError(QStringLiteral("--slot must be 0 to %1").arg(2 * brushInfo.size() - 1));
        chosen = slot;
    } else if (!brushInfo.isEmpty()) {
        // Without a previous choice to keep, a time after every slot time and far from every
        // shift selects nothing; guessing a slot would file the punch under another shift or day.
        chosen = AutoSelectSlot(brushInfo, BuildSlotTable(brushInfo), SlotLabels(brushInfo), now.time(), -1);
        if (chosen < 0) {
            ctx.err
                << QStringLiteral(
                       "no shift slot is chosen automatically at %1: give one with --slot N, N from 0 to %2")
                       .arg(now.toString(QStringLiteral("hh:mm:ss")))
                       .arg(2 * brushInfo.size() - 1)
                << Qt::endl;
            return 1;
        }
    }
    const PunchResult result = RecordPunch(card, brushInfo, chosen, now, ReadSysSetup().DoubleSwipeSeconds);
    (result.stored() ? ctx.out : ctx.err) << result.line << Qt::endl;
    return result.stored() ? 0 : 1;
}

const Registrar
    reg({QStringLiteral("punch"),
         {QStringLiteral("punch CARD [--slot N] [--at \"yyyy-mm-dd hh:nn:ss\"]"),
          QStringLiteral("punch --import FILE")},
         QStringLiteral("Record one swipe of CARD, or the swipes of FILE: lines of CARD<TAB>\"yyyy-mm-dd "
                        "hh:nn:ss\"[<TAB>SLOT], UTF-8; exit 1 when any was refused."),
         {{QStringLiteral("slot"), QStringLiteral("N"),
           QStringLiteral("the slot (default: the automatic choice for the time)")},
          {QStringLiteral("at"), QStringLiteral("TIME"),
           QStringLiteral("the swipe's time \"yyyy-mm-dd hh:nn:ss\" (default: now)")},
          {QStringLiteral("import"), QStringLiteral("FILE"),
           QStringLiteral("record the swipes of FILE; swipes already stored are skipped")}}},
        RunPunch);

} // namespace

} // namespace kq::cli
