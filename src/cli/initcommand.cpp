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

const Registrar reg({QStringLiteral("init"),
                     {QStringLiteral("init")},
                     QStringLiteral("Create the data folder and its missing files with first-run content."),
                     {}},
                    RunInit);

} // namespace

} // namespace kq::cli
