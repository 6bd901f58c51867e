#pragma once

#include "maintenance/backupfile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kq {

// Volume size of a backup onto floppy disks, and the title of the command's archives.
inline constexpr qint32 kFloppyVolumeSize = 1400000;
inline const QString kBackupTitle = QStringLiteral("Venmar软件");

// The files of folder to back up: every file directly in it, whatever its attributes (hidden and
// system files included, sub-folders not). True when there is at least one.
bool GetDirFileName(const QString& folder, QStringList& list);

// An archive on drive A: (either case) goes onto floppy disks.
bool IsFloppyPath(const QString& archive);

// The command's settings of the component for a backup to archive: the title, all files, the
// fastest level, no file-ID list, and volumes of kFloppyVolumeSize after the message asking for a
// blank disk when the archive is on drive A:, one volume otherwise.
void PrepareBackup(TBackupFile& file, const QString& archive);

// Backs the data folder's files up into archive. Empty when there is nothing to back up.
std::optional<bool> BackupDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive);

// Restores archive into the data folder, all or nothing: the files are restored into a staging
// folder first; only when that succeeded is KQDataBase closed, each restored file put in place of
// the data folder's file of that name (matched ignoring case, so names stored in lower case keep
// the folder's spelling) and the connection reopened. When a file cannot be put in place or the
// restored tables do not open, the replaced files go back and the connection is reopened on them.
// False for a missing archive, a failed or stopped restore, and a restore that was undone.
bool RestoreDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive);

} // namespace kq
