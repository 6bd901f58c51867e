#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kq {

// Where a restore puts its files before they replace the data folder's, and the swap itself. The
// stage is a folder beside the data folder on the same file system (inside the data folder when
// none can be made there), holding "new" for the restored files and "old" for the files they
// replace. Once every staged file is on the disk, a marker listing them commits the swap; from
// then on an interrupted swap is completed by FinishInterruptedRestore, which every process runs
// before it opens the data, and before it an interrupted restore is dropped. So the data a
// process opens is wholly the old or wholly the restored. Files of the data folder the archive
// does not hold, sub-folders and the installation's own files stay as they are; only the -wal,
// -shm and -journal files of a replaced database go with it, since SQLite would apply an old log
// to the restored file.
class RestoreStage {
public:
    // Completes or drops an earlier interrupted restore, then makes an empty stage. Only for a
    // process that holds the folder's owner lock exclusively. Throws KqError.
    explicit RestoreStage(const QString& dataFolder);
    // Removes the stage, unless a committed swap could neither be completed nor undone.
    ~RestoreStage();
    RestoreStage(const RestoreStage&) = delete;
    RestoreStage& operator=(const RestoreStage&) = delete;

    // Where the restored files go, with its trailing separator.
    QString folder() const { return m_new; }
    // Flushes the staged files to the disk, commits, and puts each in place of the data folder's
    // file of that name. Throws KqError when a file cannot be moved, after undoing the swap.
    void swap();
    // Puts the replaced files back and the restored ones into the stage again (when the swapped
    // data does not open). Throws KqError; the next start then completes the swap.
    void undo();

private:
    void commit(const QStringList& names);

    QString m_data; // the data folder, with its trailing separator
    QString m_root; // the stage
    QString m_new;
    QString m_old;
    bool m_keep = false;
};

// Completes a committed restore that was interrupted in dataFolder and removes whatever an
// interrupted restore left. Only for a process that holds the owner lock exclusively. Throws
// KqError when a file cannot be moved.
void FinishInterruptedRestore(const QString& dataFolder);
// Whether a committed restore waits to be completed in dataFolder.
bool RestoreInterrupted(const QString& dataFolder);

// Test seam: called with 1, 2, … after each step of a swap (the staged files on the disk, the
// commit, each move, the flush of the folders, the removal of the stage). Unset in the programs.
void SetRestoreStepHook(std::function<void(int step)> hook);

} // namespace kq
