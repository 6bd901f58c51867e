// The archive reader on any bytes: it may fail or throw KqError, but never crash, never read or
// write out of bounds (the sanitizers watch), and never open a file for writing outside the
// restore folder. Restored data goes to a sink, so runs stay fast and the disk stays clean.
// The first input byte picks RestoreFullPath and the restore mode; the rest is the archive.
#include "core/data/kqerror.h"
#include "core/maintenance/backupfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

class Sink : public QIODevice {
public:
    Sink() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override { return size; }
};

class GuardedRestore : public kq::TBackupFile {
public:
    explicit GuardedRestore(const QString& folder) : m_root(QFileInfo(folder).canonicalFilePath()) {}

protected:
    std::unique_ptr<QIODevice> OpenForWrite(const QString& path, bool) override {
        const QString dir = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
        if (dir != m_root && !dir.startsWith(m_root + QLatin1Char('/'))) std::abort();
        return std::make_unique<Sink>();
    }

private:
    QString m_root;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    if (size < 1) return 0;
    const QString archive = dir.filePath(QStringLiteral("in.bak"));
    const QString folder = dir.filePath(QStringLiteral("r"));
    {
        QFile f(archive);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);

    GuardedRestore bf(folder);
    bf.RestoreFullPath = (data[0] & 1) != 0;
    bf.RestoreMode = kq::TRestoreMode((data[0] >> 1) % 5);
    bf.OnNeedDisk = [](kq::TBackupFile*, quint16, bool& go) { go = false; };
    try {
        bf.Restore(archive, folder);
    } catch (const kq::KqError&) {
    }
    return 0;
}
