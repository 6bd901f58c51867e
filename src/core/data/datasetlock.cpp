#include "core/data/datasetlock.h"

#include "core/data/kqerror.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <map>
#include <mutex>

#ifdef _WIN32
#include <system_error>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kq {

namespace {

#ifdef _WIN32
using Handle = HANDLE;
const Handle kNoHandle = INVALID_HANDLE_VALUE;

QString LastError() {
    return QString::fromStdString(std::system_category().message(int(GetLastError())));
}

Handle OpenLockFile(const QString& path, QString* error) {
    const Handle h = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == kNoHandle) *error = LastError();
    return h;
}

bool TryLock(Handle h) {
    OVERLAPPED at = {};
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

void Release(Handle h) {
    OVERLAPPED at = {};
    UnlockFileEx(h, 0, 1, 0, &at);
    CloseHandle(h);
}
#else
using Handle = int;
const Handle kNoHandle = -1;

Handle OpenLockFile(const QString& path, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file someone else created, in a folder this user may not write, still locks.
    if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) *error = QString::fromLocal8Bit(std::strerror(errno));
    return fd;
}

bool TryLock(Handle fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

void Release(Handle fd) {
    ::flock(fd, LOCK_UN);
    ::close(fd);
}
#endif

struct Held {
    Handle handle = kNoHandle;
    int count = 0;
};

// One mutex for every folder keeps the threads of this process apart (an OS lock is held by the
// process, not by a thread); while a thread holds it, it alone touches the table of held locks.
std::recursive_timed_mutex& ProcessMutex() {
    static std::recursive_timed_mutex mutex;
    return mutex;
}

std::map<QString, Held>& HeldLocks() {
    static std::map<QString, Held> held;
    return held;
}

KqError Busy(const QString& path) {
    return KqError(
        QStringLiteral("数据文件正被其他程序写入，请稍后再试。（%1）").arg(QDir::toNativeSeparators(path)));
}

} // namespace

QString DataSetLock::fileName() {
    return QStringLiteral("datasets.lock");
}

DataSetLock::DataSetLock(const QString& folder, int timeoutMs) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath()) + QLatin1Char('/') + fileName();
    const QDeadlineTimer deadline(timeoutMs);
    if (!ProcessMutex().try_lock_for(std::chrono::milliseconds(timeoutMs))) throw Busy(path);
    Held& held = HeldLocks()[path];
    if (held.count == 0) {
        QString error;
        const Handle h = OpenLockFile(path, &error);
        if (h == kNoHandle) {
            HeldLocks().erase(path);
            ProcessMutex().unlock();
            throw KqError(
                QStringLiteral("无法打开锁文件：%1（%2）").arg(QDir::toNativeSeparators(path), error));
        }
        while (!TryLock(h)) {
            if (deadline.hasExpired()) {
                Release(h);
                HeldLocks().erase(path);
                ProcessMutex().unlock();
                throw Busy(path);
            }
            QThread::msleep(10);
        }
        held.handle = h;
    }
    ++held.count;
    m_key = path;
}

DataSetLock::~DataSetLock() {
    Held& held = HeldLocks()[m_key];
    if (--held.count == 0) {
        Release(held.handle);
        HeldLocks().erase(m_key);
    }
    ProcessMutex().unlock();
}

} // namespace kq
