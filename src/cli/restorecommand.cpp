#include "cli/clicommand.h"
#include "cli/progressline.h"

#include "core/data/firstrun.h"
#include "core/maintenance/backupcommands.h"

#include <QFileInfo>

namespace kq::cli {

namespace {

int RunRestore(Args& args, Context& ctx) {
    const bool create = args.flag(QStringLiteral("--create"));
    const bool quiet = args.flag(QStringLiteral("--quiet"));
    const QStringList words = args.rest();
    if (words.size() != 1) throw UsageError(QStringLiteral("restore needs ARCHIVE"));
    const QString archive = words.at(0);
    if (!QFileInfo::exists(archive)) {
        ctx.err << "archive not found: " << archive << Qt::endl;
        return 1;
    }

    // Only --create restores into a folder that is not a data folder yet (a new machine).
    if (create)
        MakeDataFolder(ctx.dataFolder);
    else
        RequireDataFolder(ctx);
    TBackupFile bf;
    // A volume already beside the first is taken; otherwise it is asked for on the terminal, and
    // the end of the input (or "q") stops the restore.
    bf.OnNeedDisk = [&](TBackupFile*, quint16 disk, bool& go) {
        const QString volume = VolumeFileName(archive, disk);
        if (QFileInfo::exists(volume)) return;
        ctx.err << "Please insert disk " << disk << " (" << volume
                << ") and press Enter to continue, or q to stop." << Qt::endl;
        QTextStream in(stdin);
        QString line;
        go = in.readLineInto(&line) && line.trimmed() != QLatin1String("q");
    };
    bool ok = false;
    {
        ProgressLine progress(ctx.err, quiet);
        bf.OnProgress = [&](TBackupFile* sender, const QString&, TPercentage percent, bool&) {
            progress.update(percent, sender->DoneSize());
        };
        ShowingFailure([&] { ok = RestoreDataFolder(bf, ctx.dataFolder, archive); });
    }
    if (!ok) {
        ctx.err << "数据恢复出错或中断！" << Qt::endl;
        return 1;
    }
    return 0;
}

const Registrar reg(
    {QStringLiteral("restore"),
     {QStringLiteral("restore ARCHIVE [--create] [--quiet]")},
     QStringLiteral("Restore the data folder from ARCHIVE, all or nothing (refused while the "
                    "program runs on it)."),
     {{QStringLiteral("create"), {}, QStringLiteral("restore into a folder that is not a data folder yet")},
      {QStringLiteral("quiet"), {}, QStringLiteral("no progress line on a terminal")}}},
    RunRestore);

} // namespace

} // namespace kq::cli
