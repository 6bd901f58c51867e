#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kq {

// Consistent images of a data folder's databases, taken for one backup into a temporary
// sub-folder of the data folder (on its disk, not in memory) and removed with the object. The
// backup stores each image under its database's own name; punches go on while the images are
// taken. A killed backup's sub-folder is removed by RemoveSnapshotLeftovers.
class DatabaseSnapshot {
public:
    // Takes an image of each of files (full paths) that is one of the two database files.
    // Throws KqError.
    DatabaseSnapshot(const QString& dataFolder, const QStringList& files);
    // Each database's full path and the path of its image.
    const QHash<QString, QString>& images() const { return m_images; }

private:
    QTemporaryDir m_dir;
    QHash<QString, QString> m_images;
};

// Removes the sub-folders that killed backups left in the data folder. Only for a process that
// holds the folder's owner lock exclusively, so that no backup is running.
void RemoveSnapshotLeftovers(const QString& dataFolder);

} // namespace kq
