#include "cli/clicommand.h"

#include "core/data/firstrun.h"
#include "core/maintenance/folderclaim.h"

namespace kq::cli {

namespace {

int RunInit(Args& args, Context& ctx) {
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("init takes no arguments"));
    MakeDataFolder(ctx.dataFolder);
    ClaimDataFolder(ctx.dataFolder, OwnerLock::Command);
    const QStringList created = CreateMissingDataFiles(ctx.dataFolder);
    for (const QString& name : created)
        ctx.out << "created\t" << name << "\n";
    return 0;
}

const Registrar reg("init", "init", RunInit);

} // namespace

} // namespace kq::cli
