#include "core/data/durablefile.h"

#include <QDir>
#include <QFile>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kq {

bool SyncFile(QFileDevice& file) {
    if (!file.flush()) return false;
#ifdef _WIN32
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

void StartWriteback(QFileDevice& file, qint64 from) {
#ifdef __linux__
    if (!file.flush()) return;
    ::sync_file_range(file.handle(), from, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
    Q_UNUSED(from);
#endif
}

bool SyncFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && SyncFile(file);
}

bool SyncFolder(const QString& path) {
#ifdef _WIN32
    Q_UNUSED(path);
    return true;
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#endif
}

bool RenameFile(const QString& from, const QString& to) {
#ifdef _WIN32
    return MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

} // namespace kq
