#pragma once

#include "core/maintenance/backupfile.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kq {

// Volume size of a backup onto floppy disks, and the title of the command's archives.
inline constexpr qint32 kFloppyVolumeSize = 1400000;
inline const QString kBackupTitle = QStringLiteral("Venmar软件");

// The files of folder to back up: every file directly in it, whatever its attributes (hidden and
// system files included, sub-folders and the installation's own files, IsLocalFile, not). True
// when there is at least one.
bool GetDirFileName(const QString& folder, QStringList& list);

// An archive on drive A: (either case) goes onto floppy disks.
bool IsFloppyPath(const QString& archive);

// The command's settings of the component for a backup to archive: the title, all files, the
// fastest level, no file-ID list, and volumes of kFloppyVolumeSize after the message asking for a
// blank disk when the archive is on drive A:, one volume otherwise.
void PrepareBackup(TBackupFile& file, const QString& archive);

// Runs the long part of a command, the packing or unpacking of the archive, and returns when it
// has ended, passing on its exception. The default runs it in place; a window runs it on a thread
// of its own, so it touches no connection of the calling thread, calls the component's events
// from that thread and asks its questions on the application's thread.
using WorkRunner = std::function<void(const std::function<void()>& work)>;

enum class BackupResult { Written, Stopped, NoFiles };

// Backs the data folder's files up into archive, each database as a consistent image taken while
// punches go on; on the server, its records as the same files, taken from one snapshot (see
// ExportServerData). NoFiles when there is nothing to back up, Stopped when the component was
// stopped. Throws KqError, saying why, when two files would be stored under one name, and the
// component's BackupError when it fails.
BackupResult BackupDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive,
                              const WorkRunner& run = {});

// Restores archive into the data folder, all or nothing. It takes the folder's owner lock
// exclusively (refused while the program or another command uses the folder) and gives it back as
// it was. The archive is restored into a stage beside the folder (see RestoreStage), under the
// spellings of the folder's files (names are stored in lower case), the installation's own files
// left out; every restored database must pass its integrity check. Only then is KQDataBase closed,
// the files swapped in and the connection opened on them; data that does not open is swapped
// back. On the server, the restored data replaces the server's in one transaction, all or nothing
// (see ImportServerData). The command sets the component's restore mode, path rule and
// OnRestoreFile. True when restored; false for a missing archive and a stopped restore. A refused,
// failed or undone restore throws KqError with the reason (the component's BackupError where it
// failed). run unpacks and checks the stage. A completed restore appends an entry to the restored
// correction log naming the archive and its date (its file's modification time).
bool RestoreDataFolder(TBackupFile& file, const QString& dataFolder, const QString& archive,
                       const WorkRunner& run = {});

// Runs a backup or restore command's operation and shows its failure, if any: the component's
// error under the title "Error" as the component always showed it, a refusal through the general
// error handler. Returns whether it ran without failing.
bool ShowingFailure(const std::function<void()>& operation);

} // namespace kq
