#include "core/maintenance/archiveattribute.h"

#include <QFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

namespace kq {

#ifdef _WIN32

bool HasArchiveAttribute(const QString& path) {
    const DWORD a = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_ARCHIVE) != 0;
}

void ClearArchiveAttribute(const QString& path) {
    const auto* p = reinterpret_cast<const wchar_t*>(path.utf16());
    const DWORD a = GetFileAttributesW(p);
    if (a != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(p, a & ~DWORD(FILE_ATTRIBUTE_ARCHIVE));
}

#else

namespace {

constexpr const char* kName = "user.kq.archived";

// The modification time and size that the record must match, as text.
QByteArray Stamp(const QByteArray& file) {
    struct stat st {};
    if (::stat(file.constData(), &st) != 0) return {};
    return QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) + ':' +
           QByteArray::number(qlonglong(st.st_size));
}

} // namespace

bool HasArchiveAttribute(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    char buffer[64];
    const ssize_t n = ::getxattr(file.constData(), kName, buffer, sizeof buffer);
    return n <= 0 || QByteArray(buffer, int(n)) != Stamp(file);
}

void ClearArchiveAttribute(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    const QByteArray stamp = Stamp(file);
    if (!stamp.isEmpty()) ::setxattr(file.constData(), kName, stamp.constData(), size_t(stamp.size()), 0);
}

#endif

} // namespace kq
