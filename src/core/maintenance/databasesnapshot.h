#pragma once

#include <QDir>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>

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
    // The image of the database at path (a full path as listed), opened for reading; nullptr for
    // a file that is no database.
    std::unique_ptr<QIODevice> open(const QString& path) const;
    // Whether the image of the database at path had to be copied.
    bool copied(const QString& path) const { return m_images.contains(QDir::cleanPath(path)); }

private:
    std::unique_ptr<QTemporaryDir> m_dir; // made for the first copy
    QHash<QString, QString> m_images;     // database, copy
    std::map<QString, std::unique_ptr<ReadSnapshot>> m_held;
};

// Removes the sub-folders that killed backups left in the data folder. Only for a process that
// holds the folder's owner lock exclusively, so that no backup is running.
void RemoveSnapshotLeftovers(const QString& dataFolder);

} // namespace kq
