// The reading side of TBackupFile: Restore, volume after volume.
#include "core/maintenance/backupfile.h"

#include "core/data/durablefile.h"
#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/maintenance/blockcodec.h"
#include "core/maintenance/lzrw1kh.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <vector>

namespace kq {

namespace {

// Longer stored names are taken for a broken archive, not allocated.
constexpr qint32 kMaxNameLength = 32768;

BackupError CannotRead() {
    return BackupError(beReadArchive);
}

} // namespace

// One archive volume being read; every short read throws "Cannot read archive".
class TBackupFile::Input {
public:
    bool open(const QString& path) {
        m_file.close();
        m_file.setFileName(path);
        return m_file.open(QIODevice::ReadOnly);
    }
    void close() { m_file.close(); }
    void read(char* data, qint64 size) {
        if (m_file.read(data, size) != size) throw CannotRead();
    }
    qint32 readInt() {
        char b[4];
        read(b, 4);
        return qFromLittleEndian<qint32>(b);
    }
    void skip(qint64 size) {
        const qint64 to = m_file.pos() + size;
        if (to > m_file.size() || !m_file.seek(to)) throw CannotRead();
    }

private:
    QFile m_file;
};

bool TBackupFile::Restore(const QString& archiveName, const QString& folder) {
    m_folder = QDir::fromNativeSeparators(folder);
    if (!m_folder.isEmpty() && !m_folder.endsWith(QLatin1Char('/'))) m_folder += QLatin1Char('/');
    m_error = 0;
    m_continue = true;
    m_archive = archiveName;
    m_currentFile.clear();
    m_lastTarget.clear();
    m_lastRestoring = false;
    if (!QFileInfo::exists(archiveName)) throw CannotRead();

    Input in;
    if (!in.open(archiveName)) throw CannotRead();
    const qint32 titleLength = in.readInt();
    if (titleLength < 0) throw CannotRead();
    in.skip(titleLength);
    m_total = qMax(0, in.readInt());
    m_fileCount = in.readInt();
    m_done = 0;

    BlockCodec codec(0);
    while (m_continue) {
        const qint32 length = in.readInt();
        if (length == 0) break;
        if (length < 0) continue;
        if (length > kMaxNameLength) throw CannotRead();
        QByteArray name(length, '\0');
        in.read(name.data(), length);
        if (name.startsWith(kNextDiskName)) {
            ContinueEntry(in, name, codec);
            continue;
        }
        RestoreEntry(in, name, in.readInt(), codec);
    }
    in.close();
    const bool ran = m_continue;
    m_currentFile.clear();
    Finish();
    return ran;
}

QString TBackupFile::TargetPath(const QByteArray& storedName, bool* safe) const {
    // Names written on Windows use "\", others "/": both separate folders here.
    QString path = FromGbk(storedName);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString filePart = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    *safe = !filePart.isEmpty() && filePart != QLatin1String(".") && filePart != QLatin1String("..") &&
            std::none_of(path.cbegin(), path.cend(), [](QChar c) { return c.unicode() < 0x20; });
    if (!m_folder.isEmpty() && !RestoreFullPath) return m_folder + filePart;

    // The stored path below the folder, without its drive or root; or the stored path itself.
    QString relative = path;
    if (!m_folder.isEmpty() && relative.size() >= 2 && relative.at(1) == QLatin1Char(':'))
        relative.remove(0, 2);
    QStringList parts;
    for (const QString& part : relative.split(QLatin1Char('/'))) {
        if (part == QLatin1String("..")) *safe = false;
        if (!part.isEmpty() && part != QLatin1String(".")) parts << part;
    }
    if (m_folder.isEmpty()) return path;
    return m_folder + parts.join(QLatin1Char('/'));
}

bool TBackupFile::InsideFolder(const QString& target) const {
    if (m_folder.isEmpty()) return true;
    // Resolved, so that a linked folder inside cannot lead out.
    const QString root = QFileInfo(m_folder).canonicalFilePath();
    const QString dir = QFileInfo(QFileInfo(target).absolutePath()).canonicalFilePath();
    return !root.isEmpty() && (dir == root || dir.startsWith(root + QLatin1Char('/')));
}

bool TBackupFile::Decide(const QString& target, qint32 dateTime) const {
    const QFileInfo info(target);
    const bool exists = info.isFile();
    const bool older = exists && DosDateTime(info.lastModified()) < dateTime;
    switch (RestoreMode) {
    case rmAll:
        return true;
    case rmNoOverwrite:
        return !exists;
    case rmNewer:
        return !exists || older;
    case rmExisting:
        return exists;
    case rmExistingNewer:
        return older;
    }
    return false;
}

void TBackupFile::RestoreEntry(Input& in, const QByteArray& name, qint32 dateTime, BlockCodec& codec) {
    bool safe = true;
    const QString target = TargetPath(name, &safe);
    m_currentFile = target;
    m_lastTarget = target;
    m_lastDateTime = dateTime;
    m_lastRestoring = false;
    bool restore = Decide(target, dateTime);
    if (name == kFileListName || !safe) {
        restore = false;
    } else if (OnRestoreFile) {
        OnRestoreFile(this, m_currentFile, dateTime, restore);
        m_lastTarget = m_currentFile;
    }
    // A name the handler chose is the owner's decision; one taken from the archive must stay inside.
    const bool fromArchive = m_currentFile == target;
    if (restore) {
        const QString dir = QFileInfo(m_currentFile).absolutePath();
        QDir().mkpath(dir);
        restore = QFileInfo(dir).isDir() && (!fromArchive || InsideFolder(m_currentFile));
        if (!restore && fromArchive) safe = false;
    }
    if (!restore) {
        ReadSegment(in, nullptr, codec);
        if (!safe && name != kFileListName) SetError(beFileName);
        return;
    }

    m_lastRestoring = true;
    // A link in the folder is replaced, not written through.
    if (fromArchive && QFileInfo(m_currentFile).isSymLink()) QFile::remove(m_currentFile);
    std::unique_ptr<QIODevice> out = OpenForWrite(m_currentFile, false);
    if (!out) {
        SetError(beReadFile);
        return;
    }
    try {
        ReadSegment(in, out.get(), codec);
    } catch (const KqError&) {
        SetError(beReadFile);
    }
    CloseTarget(out, dateTime);
}

void TBackupFile::ContinueEntry(Input& in, const QByteArray& record, BlockCodec& codec) {
    const QByteArray digits = record.mid(int(qstrlen(kNextDiskName)));
    if (digits.size() != 3 ||
        !std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        throw CannotRead();
    const int volume = digits.toInt();
    in.close();
    const QString next = VolumeFileName(m_archive, volume);
    do {
        m_continue = AskForDisk(volume);
    } while (m_continue && !QFileInfo::exists(next));
    if (!m_continue) return;
    if (!in.open(next)) throw CannotRead();
    std::unique_ptr<QIODevice> out;
    if (m_lastRestoring) {
        out = OpenForWrite(m_lastTarget, true);
        if (!out) {
            SetError(beReadFile);
            return;
        }
    }
    ReadSegment(in, out.get(), codec);
    if (out) CloseTarget(out, m_lastDateTime);
}

void TBackupFile::ReadSegment(Input& in, QIODevice* target, BlockCodec& codec) {
    char tag[4];
    in.read(tag, 4);
    const QByteArray text(tag, int(qstrnlen(tag, 4)));
    if (text == "EC2")
        ReadEc2Blocks(in, target, codec);
    else if (text == "ECS")
        ReadEcsBlocks(in, target);
    else
        throw BackupError(beArchiveType);
}

void TBackupFile::ReadEc2Blocks(Input& in, QIODevice* target, BlockCodec& codec) {
    std::vector<char> packed(kArchiveBlockSize);
    std::vector<char> plain(kArchiveBlockSize);
    while (m_continue) {
        const qint32 length = in.readInt();
        if (length == 0) break;
        if (length < -kArchiveBlockSize || length > kArchiveBlockSize) {
            SetError(beReadFile);
            break;
        }
        const int size = qAbs(length);
        if (!target) {
            in.skip(size);
            continue;
        }
        in.read(packed.data(), size);
        if (length < 0) {
            if (!Put(target, packed.data(), size)) break;
            BlockDone(size);
            continue;
        }
        const int produced = codec.expand(packed.data(), size, plain.data());
        if (produced < 0) {
            SetError(produced == BlockCodec::TooLarge ? beReadFile : beCompression);
            break;
        }
        if (!Put(target, plain.data(), produced)) break;
        BlockDone(produced);
    }
}

void TBackupFile::ReadEcsBlocks(Input& in, QIODevice* target) {
    std::vector<std::uint8_t> packed(kLzrw1khBlockSize);
    std::vector<std::uint8_t> plain(kLzrw1khBlockSize);
    qint64 remaining = in.readInt();
    while (remaining > 0 && m_continue) {
        const qint32 length = in.readInt();
        if (length < 0 || length > kLzrw1khBlockSize) {
            SetError(beReadFile);
            break;
        }
        int produced = 0;
        if (target) {
            in.read(reinterpret_cast<char*>(packed.data()), length);
            produced = Lzrw1khExpand(packed.data(), length, plain.data());
            if (produced < 0) {
                SetError(beReadFile);
                break;
            }
            if (!Put(target, reinterpret_cast<const char*>(plain.data()), produced)) break;
        } else {
            in.skip(length);
        }
        remaining -= qint64(length) + 4;
        BlockDone(produced);
    }
}

bool TBackupFile::Put(QIODevice* target, const char* data, qint64 size) {
    if (target->write(data, size) == size) return true;
    SetError(beReadFile);
    return false;
}

void TBackupFile::CloseTarget(std::unique_ptr<QIODevice>& target, qint32 dateTime) {
    if (auto* file = qobject_cast<QFileDevice*>(target.get())) {
        if (!file->flush()) SetError(beReadFile);
        // The disk writes while the next files are expanded; the restore syncs them all at its end.
        StartWriteback(*file, 0);
        const QDateTime stamp = FromDosDateTime(dateTime);
        if (stamp.isValid()) file->setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    target->close();
    target.reset();
}

} // namespace kq
