#include "cli/clicommand.h"
#include "cli/progressline.h"

#include "core/maintenance/backupcommands.h"

namespace kq::cli {

namespace {

int RunBackup(Args& args, Context& ctx) {
    const bool sized = args.has(QStringLiteral("--volume-size"));
    const int volumeSize = args.intOption(QStringLiteral("--volume-size"), 0);
    const bool quiet = args.flag(QStringLiteral("--quiet"));
    const QStringList words = args.rest();
    if (words.size() != 1) throw UsageError(QStringLiteral("backup needs ARCHIVE"));
    if (volumeSize < 0 || (volumeSize > 0 && volumeSize <= kVolumeMargin + 4))
        throw UsageError(
            QStringLiteral("--volume-size must be 0 (one volume) or more than %1").arg(kVolumeMargin + 4));
    const QString archive = words.at(0);

    OpenData(ctx);
    TBackupFile bf;
    PrepareBackup(bf, archive);
    if (sized) bf.MaxSize = volumeSize;
    // Further volumes are written beside the first without asking.
    bf.OnNeedDisk = [](TBackupFile*, quint16, bool&) {};
    BackupResult result;
    {
        ProgressLine progress(ctx.err, quiet);
        bf.OnProgress = [&](TBackupFile* sender, const QString&, TPercentage percent, bool&) {
            progress.update(percent, sender->DoneSize());
        };
        result = BackupDataFolder(bf, ctx.dataFolder, archive);
    }
    if (result == BackupResult::NoFiles) {
        ctx.err << "no files to back up in " << ctx.dataFolder << Qt::endl;
        return 1;
    }
    if (result == BackupResult::Failed) {
        ctx.err << "数据备份出错或中断！" << Qt::endl;
        return 1;
    }
    return 0;
}

const Registrar reg({QStringLiteral("backup"),
                     {QStringLiteral("backup ARCHIVE [--volume-size BYTES] [--quiet]")},
                     QStringLiteral("Back the data folder up into ARCHIVE while punches go on."),
                     {{QStringLiteral("volume-size"), QStringLiteral("BYTES"),
                       QStringLiteral("split into volumes of BYTES (.002, .003 ... beside ARCHIVE)")},
                      {QStringLiteral("quiet"), {}, QStringLiteral("no progress line on a terminal")}}},
                    RunBackup);

} // namespace

} // namespace kq::cli
