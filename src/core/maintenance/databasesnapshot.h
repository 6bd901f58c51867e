#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace kq {

class ReadSnapshot;

// Consistent images of a data folder's databases for one backup, each taken from one read
// snapshot while punches go on. As long as the object lives, a database file stays the image of
// its snapshot when it already holds every change (ReadSnapshot); otherwise the image is copied
// page by page into a temporary sub-folder of the data folder (on its disk, not in memory),
// removed with the object. A killed backup's sub-folder is removed by RemoveSnapshotLeftovers.
class DatabaseSnapshot {
public:
    // Takes an image of each of files (full paths) that is one of the two database files.
    // Throws KqError.
    DatabaseSnapshot(const QString& dataFolder, const QStringList& files);
    ~DatabaseSnapshot();
    // Each copied database's full path and the path of its image; a database not in it is its
    // own image.
    const QHash<QString, QString>& images() const { return m_images; }

private:
    std::unique_ptr<QTemporaryDir> m_dir; // made for the first copy
    QHash<QString, QString> m_images;
    std::vector<std::unique_ptr<ReadSnapshot>> m_held;
};

// Removes the sub-folders that killed backups left in the data folder. Only for a process that
// holds the folder's owner lock exclusively, so that no backup is running.
void RemoveSnapshotLeftovers(const QString& dataFolder);

} // namespace kq
