#pragma once

#include <QString>

namespace kq {

// The one exclusive lock that every writer of the dataset files of a folder holds while it
// compares a file with what it read and writes it: an OS advisory lock (flock; LockFileEx on
// Windows) on the file "datasets.lock" in that folder. Held for milliseconds, never across a
// dialog. Re-entrant within a thread; other threads of the process wait as other processes do.
class DataSetLock {
public:
    static constexpr int kDefaultTimeoutMs = 5000;

    // Takes the lock of folder, waiting up to timeoutMs; throws KqError when it cannot.
    explicit DataSetLock(const QString& folder, int timeoutMs = kDefaultTimeoutMs);
    ~DataSetLock();
    DataSetLock(const DataSetLock&) = delete;
    DataSetLock& operator=(const DataSetLock&) = delete;

    static QString fileName(); // "datasets.lock"

private:
    QString m_key;
};

} // namespace kq
