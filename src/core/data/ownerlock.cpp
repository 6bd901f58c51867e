#include "core/data/ownerlock.h"

#include "core/data/kqerror.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QList>
#include <QThread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kq {

namespace {

// Byte 0 of the lock file is held shared by running programs, byte 1 by running commands; a
// restore holds both exclusively. So a refusal can tell a running program from a command.
constexpr int kProgramByte = 0;
constexpr int kCommandByte = 1;

QString WithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

#ifdef _WIN32

struct ByteLock {
    DWORD byte;
    bool exclusive;
};

QList<ByteLock> Bytes(OwnerLock::Mode mode) {
    switch (mode) {
    case OwnerLock::Program:
        return {{kProgramByte, false}};
    case OwnerLock::Command:
        return {{kCommandByte, false}};
    case OwnerLock::Exclusive:
        return {{kProgramByte, true}, {kCommandByte, true}};
    case OwnerLock::Unlocked:
        break;
    }
    return {};
}

bool LockByte(HANDLE h, ByteLock b) {
    OVERLAPPED at{};
    at.Offset = b.byte;
    return LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY | (b.exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0), 0, 1, 0,
                      &at);
}

void UnlockByte(HANDLE h, ByteLock b) {
    OVERLAPPED at{};
    at.Offset = b.byte;
    UnlockFileEx(h, 0, 1, 0, &at);
}

void Release(HANDLE h, OwnerLock::Mode mode) {
    for (const ByteLock b : Bytes(mode))
        UnlockByte(h, b);
}

bool Take(HANDLE h, OwnerLock::Mode mode) {
    QList<ByteLock> taken;
    for (const ByteLock b : Bytes(mode)) {
        if (!LockByte(h, b)) {
            for (const ByteLock t : taken)
                UnlockByte(h, t);
            return false;
        }
        taken.append(b);
    }
    return true;
}

// Whether another handle holds the byte in a way that refuses a lock of this kind.
bool Refused(HANDLE h, ByteLock b) {
    if (!LockByte(h, b)) return true;
    UnlockByte(h, b);
    return false;
}

#else

// Locks of the open file description: unlike process-wide record locks they conflict with the
// locks of other descriptions in the same process too, and they change mode atomically.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
constexpr int kGetLock = F_OFD_GETLK;
#else
constexpr int kSetLock = F_SETLK;
constexpr int kGetLock = F_GETLK;
#endif

bool Range(int fd, short type, off_t start, off_t length) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = start;
    range.l_len = length;
    return ::fcntl(fd, kSetLock, &range) == 0;
}

// The kind of lock another holder has on the byte: F_UNLCK, F_RDLCK or F_WRLCK.
short Holder(int fd, off_t byte) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = byte;
    range.l_len = 1;
    if (::fcntl(fd, kGetLock, &range) != 0) return F_UNLCK;
    return range.l_type;
}

#endif

} // namespace

OwnerLock::~OwnerLock() {
    close();
}

bool OwnerLock::set(const QString& folder, Mode mode, int waitMs) {
    const QString f = WithSlash(folder);
    if (f != m_folder) close();
    if (mode == Unlocked) {
        close();
        return true;
    }
    open(f);
    const QDeadlineTimer deadline(waitMs);
    while (!apply(mode)) {
        if (deadline.hasExpired()) {
            m_blocker = findBlocker();
            if (m_mode == Unlocked) close();
            return false;
        }
        QThread::msleep(20);
    }
    m_mode = mode;
    m_blocker = Unlocked;
    return true;
}

#ifdef _WIN32

void OwnerLock::open(const QString& folder) {
    if (m_handle) return;
    const QString path = QDir::toNativeSeparators(folder + kOwnerLockName);
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw KqError(QStringLiteral("无法打开锁文件：%1").arg(path));
    m_handle = h;
    m_folder = folder;
}

void OwnerLock::close() {
    if (m_handle) CloseHandle(static_cast<HANDLE>(m_handle)); // lets go of its locks
    m_handle = nullptr;
    m_folder.clear();
    m_mode = Unlocked;
}

bool OwnerLock::apply(Mode mode) {
    // Windows cannot change a lock's mode in one step: the old one goes, then the new one is tried.
    HANDLE h = static_cast<HANDLE>(m_handle);
    Release(h, m_mode);
    if (Take(h, mode)) return true;
    Take(h, m_mode);
    return false;
}

OwnerLock::Mode OwnerLock::findBlocker() const {
    HANDLE h = static_cast<HANDLE>(m_handle);
    Release(h, m_mode); // a handle's own locks would refuse the probes too
    Mode found = Unlocked;
    if (Refused(h, {kProgramByte, false}) || Refused(h, {kCommandByte, false}))
        found = Exclusive;
    else if (Refused(h, {kProgramByte, true}))
        found = Program;
    else if (Refused(h, {kCommandByte, true}))
        found = Command;
    Take(h, m_mode);
    return found;
}

#else

void OwnerLock::open(const QString& folder) {
    if (m_fd >= 0) return;
    const QByteArray path = QFile::encodeName(folder + kOwnerLockName);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw KqError(QStringLiteral("无法打开锁文件：%1（%2）")
                          .arg(QDir::toNativeSeparators(folder + kOwnerLockName),
                               QString::fromLocal8Bit(std::strerror(errno))));
    m_fd = fd;
    m_folder = folder;
}

void OwnerLock::close() {
    if (m_fd >= 0) ::close(m_fd); // lets go of its locks
    m_fd = -1;
    m_folder.clear();
    m_mode = Unlocked;
}

bool OwnerLock::apply(Mode mode) {
    // The new lock first: when it is refused, nothing has changed.
    if (mode == Program)
        return Range(m_fd, F_RDLCK, kProgramByte, 1) && Range(m_fd, F_UNLCK, kCommandByte, 1);
    if (mode == Command)
        return Range(m_fd, F_RDLCK, kCommandByte, 1) && Range(m_fd, F_UNLCK, kProgramByte, 1);
    return Range(m_fd, F_WRLCK, kProgramByte, 2);
}

OwnerLock::Mode OwnerLock::findBlocker() const {
    const short program = Holder(m_fd, kProgramByte);
    const short command = Holder(m_fd, kCommandByte);
    if (program == F_WRLCK || command == F_WRLCK) return Exclusive;
    if (program == F_RDLCK) return Program;
    if (command == F_RDLCK) return Command;
    return Unlocked;
}

#endif

OwnerLock& DataFolderLock() {
    static OwnerLock lock;
    return lock;
}

} // namespace kq
