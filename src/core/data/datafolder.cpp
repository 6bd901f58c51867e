#include "core/data/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kq {

namespace {
QString& Folder() {
    static QString folder;
    return folder;
}
} // namespace

QString DataFolder() {
    return Folder();
}

void SetDataFolder(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    Folder() = f;
}

QString DataFolderFor(const QString& executableDir) {
    QString dir = QDir::fromNativeSeparators(executableDir);
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir + QStringLiteral("Data/");
}

QString ChooseDataFolder(const DataFolderSources& sources) {
    QString chosen = sources.option;
    if (chosen.isEmpty()) chosen = sources.environment;
    if (chosen.isEmpty()) {
        const QString beside = DataFolderFor(sources.executableDir);
        const QFileInfo info(beside);
        chosen = info.isDir() && info.isWritable() ? beside : sources.userFolder;
    }
    // Absolute, so that the About box and the folder's locks name one folder whatever the
    // working directory.
    return QDir::cleanPath(QDir(chosen).absolutePath()) + QLatin1Char('/');
}

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kaoqin/Data/");
}

QString ComputeDataFolder(const QString& option) {
    SetDataFolder(ChooseDataFolder({option, qEnvironmentVariable("KAOQIN_DATA"),
                                    QCoreApplication::applicationDirPath(), UserDataFolder()}));
    return DataFolder();
}

QString EnsureDataFolder() {
    if (Folder().isEmpty()) ComputeDataFolder();
    return Folder();
}

QString DataFile(const QString& name) {
    return ResolveFileName(DataFolder() + name);
}

QString ResolveFileName(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) return path;
    const QDir dir = info.dir();
    const QString wanted = info.fileName();
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    }
    return path;
}

} // namespace kq
