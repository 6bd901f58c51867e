#include "cli/clicommand.h"

#include "core/data/engine.h"
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
    // Stored only once the server took its tables and documents: a mistyped URL changes nothing.
    if (!ctx.database.isEmpty()) {
        StoreServerChoice(ctx.dataFolder, CurrentEngine().server);
        ctx.out << "database\t" << EngineText() << "\n";
    }
    return 0;
}

const Registrar
    reg({QStringLiteral("init"),
         {QStringLiteral("init [--database URL]")},
         QStringLiteral("Create the data folder and its missing files (with --database URL: on that server, "
                        "used by the folder from then on)."),
         {}},
        RunInit);

} // namespace

} // namespace kq::cli
