#include "core/maintenance/backupcommands.h"

#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/data/engine.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/ownerlock.h"
#include "core/maintenance/auditlog.h"
#include "core/maintenance/databasesnapshot.h"
#include "core/maintenance/localfiles.h"
#include "core/maintenance/restorestage.h"
#include "core/maintenance/servertransfer.h"
#include "core/maintenance/sqliteimage.h"
#include "core/platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace kq {

namespace {

// A command that is starting or ending holds the owner lock for a moment.
constexpr int kLockWaitMs = 3000;

QString WithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

// The name a restored file takes in the folder: the spelling of an existing file or of a known
// data file that differs only in case, else its own.
QString PlacedName(const QString& folder, const QString& name) {
    QStringList known = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    known << DataSetFileNames() << DatabaseFileNames() << QStringLiteral("Help.chm");
    for (const QString& k : known)
        if (k.compare(name, Qt::CaseInsensitive) == 0) return k;
    return name;
}

// Two listed files that the archive would store under one name (names are stored in lower case).
QString NameClash(const QStringList& files) {
    QHash<QString, QString> seen;
    for (const QString& file : files) {
        const QString name = QFileInfo(file).fileName();
        const QString key = LowerAscii(name);
        if (seen.contains(key)) return seen.value(key) + QStringLiteral("、") + name;
        seen.insert(key, name);
    }
    return {};
}

// The first restored database that does not pass its check, and why.
QString StagedProblem(const QString& staged) {
    const QStringList databases = DatabaseFileNames();
    for (const QString& name :
         QDir(staged).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        const QString path = staged + name;
        if (!databases.contains(name, Qt::CaseInsensitive) && !LooksLikeDatabase(path)) continue;
        const QString problem = DatabaseProblem(path);
        if (!problem.isEmpty()) return QStringLiteral("恢复的数据库文件 %1 不能使用：%2").arg(name, problem);
    }
    return {};
}

// Restored dataset files whose fields hold passwords become readable by their owner only, as
// written ones are.
void RestrictPasswordFiles(const QString& staged) {
    const QStringList dataSets = DataSetFileNames();
    for (const QString& name : QDir(staged).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!dataSets.contains(name, Qt::CaseInsensitive)) continue;
        try {
            DataSet ds;
            ds.open(staged + name);
            if (HoldsPasswords(ds.fields()))
                QFile::setPermissions(staged + name, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        } catch (const KqError&) {
            // Content the engine cannot read is restored as it is; opening it will say why.
        }
    }
}

QString LockRefusal(OwnerLock::Mode blocker, const QString& folder) {
    const QString f = QDir::toNativeSeparators(folder);
    if (blocker == OwnerLock::Program)
        return QStringLiteral("考勤程序正在使用数据文件夹 %1，请先退出程序再恢复数据。").arg(f);
    if (blocker == OwnerLock::Exclusive) return QStringLiteral("数据文件夹 %1 正在恢复数据。").arg(f);
    return QStringLiteral("数据文件夹 %1 正被其他命令使用，请稍后再恢复数据。").arg(f);
}

void RunWork(const WorkRunner& run, const std::function<void()>& work) {
    if (run)
        run(work);
    else
        work();
}

// The entry of a restore from archive, dated by the archive's file.
void RecordRestore(QSqlDatabase db, const QString& archive) {
    AuditRestore(db, archive, QFileInfo(archive).lastModified());
}

// Gives the owner lock back the mode it had before a restore took it.
class LockReturn {
public:
    LockReturn(OwnerLock& lock, const QString& folder)
        : m_lock(lock), m_folder(folder),
          m_mode(lock.folder() == folder ? lock.mode() : OwnerLock::Unlocked) {}
    // Never throws: the lock file may be gone with a failed restore; the lock then stays released.
    ~LockReturn() {
        try {
            m_lock.set(m_folder, m_mode);
        } catch (const KqError&) {
        }
    }
    LockReturn(const LockReturn&) = delete;
    LockReturn& operator=(const LockReturn&) = delete;

private:
    OwnerLock& m_lock;
    QString m_folder;
    OwnerLock::Mode m_mode;
};

} // namespace

bool GetDirFileName(const QString& folder, QStringList& list) {
    for (const QFileInfo& e :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (!IsLocalFile(e.fileName())) list << e.absoluteFilePath();
    return !list.isEmpty();
}

bool IsFloppyPath(const QString& archive) {
    return archive.size() >= 2 && archive.at(0).toUpper() == QLatin1Char('A') &&
           archive.at(1) == QLatin1Char(':');
}

void PrepareBackup(TBackupFile& file, const QString& archive) {
    if (IsFloppyPath(archive)) {
        Prompt().message(QStringLiteral("提示"), QStringLiteral("请在软盘驱动器A:中插入空白磁盘！"));
        file.MaxSize = kFloppyVolumeSize;
    } else {
        file.MaxSize = 0;
    }
    file.BackupTitle = kBackupTitle;
    file.SetBackupMode(bmAll);
    file.CompressionLevel = clFastest;
    file.SaveFileID = false;
}

namespace {

// Whether name is one of the data folder's data files (the databases and the dataset files).
bool IsDataFileName(const QString& name) {
    return (DatabaseFileNames() + DataSetFileNames()).contains(name, Qt::CaseInsensitive);
}

// On the server: the records as files from one snapshot (see ExportServerData), beside the data
// folder's own other files (a help file, exports); data files left in the folder from before it
// moved to the server are not the records and stay out.
BackupResult BackupServer(TBackupFile& file, const QString& dataFolder, const QString& archive,
                          const WorkRunner& run) {
    QTemporaryDir snapshot(QDir::tempPath() + QStringLiteral("/kaoqin-backup-XXXXXX"));
    if (!snapshot.isValid())
        throw KqError(QStringLiteral("无法建立临时文件夹：%1").arg(snapshot.errorString()));
    ExportServerData(snapshot.path());
    QStringList local, list;
    GetDirFileName(dataFolder, local);
    for (const QString& path : local)
        if (!IsDataFileName(QFileInfo(path).fileName())) list << path;
    GetDirFileName(snapshot.path(), list);
    const QString clash = NameClash(list);
    if (!clash.isEmpty()) throw KqError(QStringLiteral("文件名只差大小写，备份中无法区分：%1").arg(clash));
    bool written = false;
    RunWork(run, [&] { written = file.Backup(list, archive); });
    return written ? BackupResult::Written : BackupResult::Stopped;
}

// On the server: the staged data replaces the server's in one transaction; the data folder's
// other files are swapped in as usual. Throws KqError, saying why, when the server refuses.
void RestoreServer(RestoreStage& stage, const QString& dataFolder) {
    if (!IsKQDataBaseOpen()) OpenKQDataBase(dataFolder);
    ImportServerData(stage.folder());
    QDir staged(stage.folder());
    for (const QString& name : staged.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (IsDataFileName(name) && !staged.remove(name))
            throw KqError(
                QStringLiteral("无法删除临时文件：%1").arg(QDir::toNativeSeparators(stage.folder() + name)));
    if (!staged.entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty()) stage.swap();
}

} // namespace

BackupResult BackupDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive,
                              const WorkRunner& run) {
    if (OnServer()) return BackupServer(file, dataFolder, archive, run);
    QStringList list;
    if (!GetDirFileName(dataFolder, list)) return BackupResult::NoFiles;
    const QString clash = NameClash(list);
    if (!clash.isEmpty()) throw KqError(QStringLiteral("文件名只差大小写，备份中无法区分：%1").arg(clash));
    const DatabaseSnapshot snapshot(dataFolder, list);
    file.OpenContent = [&](const QString& path) { return snapshot.open(path); };
    const auto done = qScopeGuard([&] { file.OpenContent = nullptr; });
    bool written = false;
    RunWork(run, [&] { written = file.Backup(list, archive); });
    return written ? BackupResult::Written : BackupResult::Stopped;
}

bool RestoreDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive,
                       const WorkRunner& run) {
    file.RestoreMode = rmAll;
    file.RestoreFullPath = false;
    if (!QFileInfo::exists(archive)) return false;
    const QString folder = WithSlash(dataFolder);
    OwnerLock& lock = DataFolderLock();
    const LockReturn back(lock, folder);
    if (!lock.set(folder, OwnerLock::Exclusive) &&
        (lock.blocker() == OwnerLock::Program || !lock.set(folder, OwnerLock::Exclusive, kLockWaitMs)))
        throw KqError(LockRefusal(lock.blocker(), folder));

    RestoreStage stage(folder);
    QStringList placed;
    QString twice;
    file.OnRestoreFile = [&](TBackupFile*, QString& target, qint32, bool& restore) {
        const QString name = PlacedName(folder, QFileInfo(target).fileName());
        restore = !IsLocalFile(name) && !placed.contains(name, Qt::CaseInsensitive);
        if (!restore && !IsLocalFile(name)) twice = name;
        placed << name;
        target = stage.folder() + name;
    };
    const auto done = qScopeGuard([&] { file.OnRestoreFile = nullptr; });
    bool restored = false;
    QString problem;
    RunWork(run, [&] {
        restored = file.Restore(archive, stage.folder());
        if (restored && twice.isEmpty()) problem = StagedProblem(stage.folder());
    });
    if (!restored) return false;
    if (!twice.isEmpty()) throw KqError(QStringLiteral("备份文件中有多个文件恢复后同名：%1").arg(twice));
    if (!problem.isEmpty()) throw KqError(problem);
    RestrictPasswordFiles(stage.folder());
    // The correction log comes back with the records: the restored one says so before it is put in
    // place, so that the swap brings the entry with it. An archive without records leaves the
    // folder's own log, which gets the entry once the data is swapped.
    const QString stagedRecords = stage.folder() + PlacedName(folder, QStringLiteral("WorkList.db"));
    const bool logged = QFileInfo::exists(stagedRecords);
    if (logged) WithWorkListFile(stagedRecords, [&](QSqlDatabase& db) { RecordRestore(db, archive); });
    if (OnServer()) {
        RestoreServer(stage, folder);
        if (!logged) RecordRestore(KQDataBase(), archive);
        return true;
    }

    const bool wasOpen = IsKQDataBaseOpen();
    CloseKQDataBase();
    bool swapped = false;
    try {
        stage.swap();
        swapped = true;
        OpenKQDataBase(folder);
        if (!logged) RecordRestore(KQDataBase(), archive);
        return true;
    } catch (const KqError&) {
        if (swapped) stage.undo();
        if (wasOpen) OpenKQDataBase(folder);
        throw;
    }
}

bool ShowingFailure(const std::function<void()>& operation) {
    try {
        operation();
        return true;
    } catch (const BackupError& e) {
        Prompt().message(QStringLiteral("Error"), e.message(), Prompter::Icon::Error);
    } catch (const KqError& e) {
        Prompt().error(e.message());
    }
    return false;
}

} // namespace kq
