#include "cli/clicommand.h"

#include "core/data/database.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/data/ownerlock.h"
#include "core/maintenance/folderclaim.h"
#include "core/maintenance/servertransfer.h"

#include <QDir>

namespace kq::cli {

namespace {

void PrintCounts(QTextStream& out, const DataCounts& counts) {
    out << "WorkList\t" << counts.workList << "\nInform\t" << counts.inform << "\nWorkCalendar\t"
        << counts.calendar << "\nAuditLog\t" << counts.auditLog << "\ndocuments\t" << counts.documents
        << '\n';
}

// The data folder's SQLite files into an empty server; from then on the folder uses the server.
// The program must be closed meanwhile: a punch into the files after the copy would be lost.
int ToServer(const QString& url, Context& ctx) {
    if (OnServer())
        throw KqError(QStringLiteral("数据文件夹 %1 的记录已在数据库服务器 %2 上")
                          .arg(QDir::toNativeSeparators(ctx.dataFolder), CurrentEngine().server.display()));
    RequireDataFolder(ctx);
    ClaimDataFolder(ctx.dataFolder, OwnerLock::Command);
    if (!DataFolderLock().set(ctx.dataFolder, OwnerLock::Exclusive))
        throw KqError(QStringLiteral("数据文件夹 %1 正被考勤程序或其他命令使用，请先退出再迁移。")
                          .arg(QDir::toNativeSeparators(ctx.dataFolder)));
    const Engine server{EngineKind::PostgreSQL, ParseServerUrl(url)};
    SetEngine(server);
    OpenKQDataBase(ctx.dataFolder);
    const DataCounts there = ServerCounts();
    if (there.workList > 0 || there.inform > 0)
        throw KqError(QStringLiteral("数据库服务器 %1 上已有考勤记录（%2），不能迁入。")
                          .arg(server.server.display(), there.text()));
    const DataCounts moved = ImportServerData(ctx.dataFolder);
    StoreServerChoice(ctx.dataFolder, server.server);
    PrintCounts(ctx.out, moved);
    ctx.out << "database\t" << EngineText() << '\n';
    return 0;
}

// The server's records, from one snapshot, into a new data folder of SQLite files.
int ToFolder(const QString& folder, Context& ctx) {
    if (!OnServer())
        throw KqError(QStringLiteral("数据文件夹 %1 的记录不在数据库服务器上")
                          .arg(QDir::toNativeSeparators(ctx.dataFolder)));
    OpenData(ctx);
    const DataCounts written = ExportServerData(folder);
    const DataCounts check = FolderCounts(folder);
    if (check != written)
        throw KqError(
            QStringLiteral("迁出的记录数不符（服务器：%1；文件夹：%2）").arg(written.text(), check.text()));
    PrintCounts(ctx.out, written);
    ctx.out << "folder\t" << QDir::toNativeSeparators(QDir(folder).absolutePath()) << '\n';
    return 0;
}

int RunMigrate(Args& args, Context& ctx) {
    const QString to = args.option(QStringLiteral("--to"));
    const QString toFolder = args.option(QStringLiteral("--to-folder"));
    if (!args.rest().isEmpty()) throw UsageError(QStringLiteral("unexpected words after migrate"));
    if (to.isEmpty() == toFolder.isEmpty())
        throw UsageError(QStringLiteral("migrate needs --to URL or --to-folder DIR"));
    return to.isEmpty() ? ToFolder(toFolder, ctx) : ToServer(to, ctx);
}

const Registrar reg(
    {QStringLiteral("migrate"),
     {QStringLiteral("migrate --to URL"), QStringLiteral("migrate --to-folder DIR")},
     QStringLiteral("Move the records of a data folder onto an empty PostgreSQL server, or from the server "
                    "into a new folder of SQLite files, checking the counts."),
     {{QStringLiteral("to"), QStringLiteral("URL"),
       QStringLiteral("the server (postgresql://user@host:port/dbname); the folder uses it from then on")},
      {QStringLiteral("to-folder"), QStringLiteral("DIR"),
       QStringLiteral("a new data folder for the records")}}},
    RunMigrate);

} // namespace

} // namespace kq::cli
