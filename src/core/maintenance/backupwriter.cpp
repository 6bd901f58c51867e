// The writing side of TBackupFile: listing the files and writing the archive's volumes.
#include "core/maintenance/backupfile.h"

#include "core/data/durablefile.h"
#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/maintenance/archiveattribute.h"
#include "core/maintenance/blockpacker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <QtEndian>

namespace kq {

namespace {

int ZlibLevel(TCompressionLevel level) {
    switch (level) {
    case clNone:
        return 0;
    case clDefault:
        return -1;
    case clMax:
        return 9;
    case clFastest:
        break;
    }
    return 1;
}

QByteArray IntBytes(qint32 value) {
    QByteArray b(4, '\0');
    qToLittleEndian(value, b.data());
    return b;
}

QByteArray StringBytes(const QByteArray& text) {
    return IntBytes(qint32(text.size())) + text;
}

// A stored name: the full path with the system's separators, ASCII letters lower-cased.
QString EntryName(const QString& path) {
    return LowerAscii(QDir::toNativeSeparators(path));
}

} // namespace

void TBackupFile::ListFiles(const QStringList& masks, const QString& archiveName) {
    m_list.clear();
    const QString archiveKey = EntryName(QDir::cleanPath(QFileInfo(archiveName).absoluteFilePath()));
    for (const QString& mask : masks)
        AddMask(mask, archiveKey);
}

void TBackupFile::AddMask(QString mask, const QString& archiveKey) {
    // " /s" at the end asks for subfolders too. Only the trailing switch after a space counts: "/s"
    // can begin any folder name in a path with forward slashes.
    mask = mask.trimmed();
    const bool recurse = mask.size() > 2 && mask.endsWith(QLatin1String("/s"), Qt::CaseInsensitive) &&
                         mask.at(mask.size() - 3).isSpace();
    if (recurse) mask = mask.left(mask.size() - 2).trimmed();
    mask = QDir::fromNativeSeparators(mask);

    const int cut = int(mask.lastIndexOf(QLatin1Char('/')));
    const QString folder = mask.left(cut + 1);
    const QString pattern = mask.mid(cut + 1);
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (!MatchesMask(pattern, entry.fileName())) continue;
        const QString path = QDir::cleanPath(entry.absoluteFilePath());
        if (entry.isDir()) {
            // Linked folders are not followed: a link back up would never end.
            if (recurse && !entry.isSymLink())
                AddMask(path + QLatin1Char('/') + pattern + QStringLiteral(" /s"), archiveKey);
            continue;
        }
        const QString name = EntryName(path);
        if (name == archiveKey) continue;
        if (std::any_of(m_list.cbegin(), m_list.cend(), [&](const Listed& l) { return l.name == name; }))
            continue;
        if (m_backupMode == bmIncremental && !HasArchiveAttribute(path)) continue;
        m_list.append({path, name});
    }
}

bool TBackupFile::Backup(const QStringList& files, const QString& archiveName) {
    m_error = 0;
    m_archive = archiveName;
    m_currentFile.clear();
    m_unplaced.clear();
    ListFiles(files, archiveName);
    m_continue = true;
    RaiseProgress(QString(), 0);

    m_total = 0;
    m_done = 0;
    QByteArray fileIds;
    for (const Listed& l : m_list) {
        if (!QFileInfo(l.path).isFile()) continue;
        QString why;
        const std::unique_ptr<QIODevice> source = OpenSource(l.path, &why);
        if (!source) throw KqError(QStringLiteral("%1: %2").arg(l.path, why));
        m_total += source->size();
        if (SaveFileID)
            fileIds += ToGbkName(l.name) + '\t' +
                       QByteArray::number(DosDateTime(QFileInfo(l.path).lastModified())) + '=' +
                       QByteArray::number(source->size()) + "\r\n";
    }
    m_fileCount = qint32(m_list.size());

    // An unusable temporary folder reads as an empty path: never fall back to the root.
    const QString temp = QDir::tempPath();
    QTemporaryFile idFile(temp + QStringLiteral("/FIDXXXXXX"));
    const bool withIds = SaveFileID;
    if (withIds) {
        if (!temp.isEmpty() && idFile.open() && idFile.write(fileIds) == fileIds.size() && idFile.flush()) {
            idFile.close();
            m_total += fileIds.size();
        } else {
            SetError(beFileIds);
        }
        m_list.prepend({idFile.fileName(), QString::fromLatin1(kFileListName)});
    }
    // A volume must hold at least its tag and one block, or volumes would follow without end.
    if (MaxSize < 0 || (MaxSize > 0 && MaxSize <= kVolumeMargin + 4)) SetError(beWriteArchive);

    bool written = false;
    if (m_continue) {
        m_volume = 1;
        if (!OpenVolume(archiveName) ||
            !Write(StringBytes(ToGbk(BackupTitle)) + IntBytes(qint32(qMin<qint64>(m_total, INT32_MAX))) +
                   IntBytes(m_fileCount)))
            SetError(beWriteArchive);
        BlockPacker packer(ZlibLevel(CompressionLevel),
                           CompressionThreads > 0 ? CompressionThreads : QThread::idealThreadCount());
        for (int i = 0; i < m_list.size() && m_continue; ++i) {
            if (!QFileInfo(m_list[i].path).isFile()) continue;
            StoreFile(m_list[i], withIds && i == 0, packer);
        }
        if (m_continue) {
            if (WriteInt(0))
                written = true;
            else
                SetError(beWriteArchive);
        }
    }
    if (m_out && !CloseVolume()) {
        SetError(beWriteArchive);
        written = false;
    }
    if (written && !PlaceVolumes()) {
        SetError(beWriteArchive);
        written = false;
    }
    DropVolumes();
    if (withIds) m_list.removeFirst(); // the file-ID file itself goes with idFile
    m_currentFile.clear();
    Finish();
    return written;
}

void TBackupFile::StoreFile(const Listed& listed, bool isFileList, BlockPacker& packer) {
    m_currentFile = isFileList ? QString::fromLatin1(kFileListName) : listed.path;
    if (!Write(StringBytes(isFileList ? QByteArray(kFileListName) : ToGbkName(listed.name)))) {
        SetError(beWriteArchive);
        return;
    }
    QString why;
    const std::unique_ptr<QIODevice> source = OpenSource(listed.path, &why);
    if (!source) {
        SetError(beReadFile);
    } else if (!WriteInt(DosDateTime(QFileInfo(listed.path).lastModified()))) {
        SetError(beWriteArchive);
    } else {
        // The packer reads ahead, so "data remains" is known before a volume is closed.
        packer.begin(*source);
        // A file of length 0 still gets one (empty) segment; a segment that ends with data left
        // means the volume is full.
        if (packer.front().readFailed) {
            SetError(beReadFile);
        } else {
            while (WriteSegment(packer) && !packer.front().data.isEmpty()) {
                NextVolume();
                if (!m_continue) break;
            }
        }
        packer.end();
    }
    if (SetArchiveFlag) ClearArchiveAttribute(listed.path);
}

std::unique_ptr<QIODevice> TBackupFile::OpenSource(const QString& path, QString* error) const {
    if (OpenContent)
        if (std::unique_ptr<QIODevice> content = OpenContent(path)) return content;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *error = file->errorString();
        return nullptr;
    }
    return file;
}

bool TBackupFile::WriteSegment(BlockPacker& packer) {
    if (!Write(QByteArray("EC2\0", 4))) {
        SetError(beWriteArchive);
        return false;
    }
    // The room check comes before each block, so a volume may end right after its tag.
    while (m_continue && (MaxSize == 0 || m_outPos < qint64(MaxSize) - kVolumeMargin)) {
        const BlockPacker::Block& block = packer.front();
        if (block.data.isEmpty()) break;
        if (!WriteBlock(block)) return false;
        const qint64 n = block.data.size();
        packer.pop();
        if (packer.front().readFailed) {
            SetError(beReadFile);
            break;
        }
        BlockDone(n);
    }
    if (!WriteInt(0)) {
        SetError(beWriteArchive);
        return false;
    }
    return m_continue;
}

bool TBackupFile::WriteBlock(const BlockPacker::Block& block) {
    switch (block.how) {
    case BlockCodec::Packed::Stream:
        if (Write(IntBytes(qint32(block.packed.size())) + block.packed)) return true;
        break;
    case BlockCodec::Packed::Raw:
        if (Write(IntBytes(-qint32(block.data.size())) + block.data)) return true;
        break;
    case BlockCodec::Packed::Failed:
        SetError(beCompression);
        return false;
    }
    SetError(beWriteArchive);
    return false;
}

void TBackupFile::NextVolume() {
    ++m_volume;
    if (m_volume > kMaxVolumes) {
        SetError(beWriteArchive);
        return;
    }
    if (!Write(
            StringBytes(QByteArray(kNextDiskName) + QByteArray::number(m_volume).rightJustified(3, '0'))) ||
        !CloseVolume()) {
        SetError(beWriteArchive);
        return;
    }
    // The disk the component asks for replaces the one in the drive.
    if (!OnNeedDisk && !PlaceVolumes()) {
        SetError(beWriteArchive);
        return;
    }
    m_continue = AskForDisk(m_volume);
    if (m_continue && !OpenVolume(VolumeFileName(m_archive, m_volume))) SetError(beWriteArchive);
}

bool TBackupFile::OpenVolume(const QString& path) {
    const QString written = path + QStringLiteral(".partial");
    m_out = OpenForWrite(written, false);
    m_outPos = 0;
    m_writebackPos = 0;
    if (!m_out) return false;
    m_unplaced.append({written, path});
    return true;
}

bool TBackupFile::CloseVolume() {
    std::unique_ptr<QIODevice> out = std::move(m_out);
    if (!out) return false;
    bool ok = true;
    // A volume counts as written only once it is on the disk.
    if (auto* file = qobject_cast<QFileDevice*>(out.get())) ok = SyncFile(*file);
    out->close();
    return ok;
}

bool TBackupFile::PlaceVolumes() {
    while (!m_unplaced.isEmpty()) {
        const Volume v = m_unplaced.first();
        if (!RenameFile(v.written, v.target)) return false;
        m_unplaced.removeFirst();
        if (!SyncFolder(QFileInfo(v.target).absolutePath())) return false;
    }
    return true;
}

void TBackupFile::DropVolumes() {
    for (const Volume& v : std::as_const(m_unplaced))
        QFile::remove(v.written);
    m_unplaced.clear();
}

bool TBackupFile::Write(const QByteArray& bytes) {
    if (!m_out || m_out->write(bytes) != bytes.size()) return false;
    m_outPos += bytes.size();
    // The disk writes while the next blocks are compressed, instead of all at the volume's end.
    constexpr qint64 kWritebackBytes = 256 << 10;
    if (m_outPos - m_writebackPos >= kWritebackBytes) {
        if (auto* file = qobject_cast<QFileDevice*>(m_out.get())) StartWriteback(*file, m_writebackPos);
        m_writebackPos = m_outPos;
    }
    return true;
}

bool TBackupFile::WriteInt(qint32 value) {
    return Write(IntBytes(value));
}

} // namespace kq
