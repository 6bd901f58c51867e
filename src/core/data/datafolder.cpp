#include "core/data/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

QString ComputeDataFolder() {
    SetDataFolder(DataFolderFor(QCoreApplication::applicationDirPath()));
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
