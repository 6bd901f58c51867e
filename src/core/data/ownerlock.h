#pragma once

#include <QString>

namespace kq {

// The lock file in the data folder.
inline const QString kOwnerLockName = QStringLiteral("owner.lock");

// The owner lock of a data folder: an advisory lock on owner.lock in it. The program holds it as
// Program for its whole run and each command as Command while it runs; both are shared. A restore
// holds it Exclusive, so that it never replaces files another process has open. A lock ends with
// the process that holds it: a killed process leaves none behind.
class OwnerLock {
public:
    enum Mode { Unlocked, Program, Command, Exclusive };

    OwnerLock() = default;
    ~OwnerLock();
    OwnerLock(const OwnerLock&) = delete;
    OwnerLock& operator=(const OwnerLock&) = delete;

    // Holds folder's lock in mode in place of the mode held so far (another folder's lock is let
    // go first), trying again for up to waitMs. False, with the lock held as before, when another
    // process's lock stands in the way; blocker() then tells whose. Stepping down from Exclusive
    // and letting go always succeed. Throws KqError when the lock file cannot be opened.
    bool set(const QString& folder, Mode mode, int waitMs = 0);
    Mode mode() const { return m_mode; }
    QString folder() const { return m_folder; }
    // The holder that refused the last set: Program, Command or Exclusive (a restore).
    Mode blocker() const { return m_blocker; }

private:
    void open(const QString& folder);
    void close();
    bool apply(Mode mode);
    Mode findBlocker() const;

    QString m_folder; // with its trailing separator
    Mode m_mode = Unlocked;
    Mode m_blocker = Unlocked;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

// The owner lock this process holds on its data folder.
OwnerLock& DataFolderLock();

} // namespace kq
