#include "maintenance/backupcommands.h"

#include "data/database.h"
#include "data/datasetlock.h"
#include "data/firstrun.h"
#include "data/kqerror.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace kq {

namespace {

QString WithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

// The name a restored file takes in the folder: the spelling of an existing file or of a known
// data file that differs only in case, else its own.
QString PlacedName(const QString& folder, const QString& name) {
    QStringList known = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    known << DataSetFileNames() << QStringLiteral("WorkList.db") << QStringLiteral("Inform.db")
          << QStringLiteral("Help.chm");
    for (const QString& k : known)
        if (k.compare(name, Qt::CaseInsensitive) == 0) return k;
    return name;
}

// Renames that can be taken back in reverse order.
class Moves {
public:
    bool move(const QString& from, const QString& to) {
        if (!QFile::rename(from, to)) return false;
        m_done.append({from, to});
        return true;
    }
    void undo() {
        // In reverse order each original place is free again when its file comes back.
        for (auto it = m_done.crbegin(); it != m_done.crend(); ++it)
            QFile::rename(it->second, it->first);
        m_done.clear();
    }

private:
    QList<QPair<QString, QString>> m_done;
};

bool PutInPlace(const QString& folder, const QString& staging) {
    QTemporaryDir replaced(folder + QStringLiteral(".replaced-XXXXXX"));
    if (!replaced.isValid()) return false;
    const QStringList staged = QDir(staging).entryList(QDir::Files | QDir::Hidden | QDir::System);
    CloseKQDataBase();
    Moves moves;
    bool ok = true;
    for (const QString& name : staged) {
        const QString placed = PlacedName(folder, name);
        // A database's journal belongs to the file it replaces.
        for (const QString& suffix :
             {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
            const QString old = folder + placed + suffix;
            if (ok && QFileInfo::exists(old)) ok = moves.move(old, replaced.filePath(placed + suffix));
        }
        ok = ok && moves.move(staging + QLatin1Char('/') + name, folder + placed);
        if (!ok) break;
    }
    if (ok) {
        try {
            OpenKQDataBase(folder);
            return true;
        } catch (const KqError&) {
            CloseKQDataBase();
        }
    }
    moves.undo();
    OpenKQDataBase(folder);
    return false;
}

} // namespace

bool GetDirFileName(const QString& folder, QStringList& list) {
    for (const QFileInfo& e :
         QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (e.fileName() != DataSetLock::fileName()) list << e.absoluteFilePath(); // a lock holds no data

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

std::optional<bool> BackupDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive) {
    QStringList list;
    if (!GetDirFileName(dataFolder, list)) return std::nullopt;
    return file.Backup(list, archive);
}

bool RestoreDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive) {
    file.RestoreMode = rmAll;
    file.RestoreFullPath = false;
    if (!QFileInfo::exists(archive)) return false;
    const QString folder = WithSlash(dataFolder);
    // Inside the data folder, so the files move into place by renaming on the same disk; the
    // backup lists files only, so a staging folder is never backed up.
    QTemporaryDir staging(folder + QStringLiteral(".restore-XXXXXX"));
    if (!staging.isValid())
        throw KqError(QStringLiteral("无法建立临时文件夹：%1").arg(staging.errorString()));
    if (!file.Restore(archive, staging.path())) return false;
    return PutInPlace(folder, staging.path());
}

} // namespace kq
