#pragma once

#include "core/data/kqerror.h"
#include "core/maintenance/blockpacker.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kq {

enum TBackupMode : quint8 { bmAll, bmIncremental };
enum TRestoreMode : quint8 { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
enum TCompressionLevel : quint8 { clFastest, clNone, clDefault, clMax };
using TPercentage = quint8; // 0..100

class BlockCodec;
class TBackupFile;

// Progress after every data block and at start and end (empty Filename); Continue false stops.
// The events are called on the thread the operation runs on.
using TProgressEvent =
    std::function<void(TBackupFile* Sender, const QString& Filename, TPercentage Percent, bool& Continue)>;
// The next volume (the first being 1) is wanted; Continue false stops.
using TNeedDiskEvent = std::function<void(TBackupFile* Sender, quint16 DiskID, bool& Continue)>;
// Before a file is restored: Filename may be replaced, DoRestore changed.
using TRestoreFileEvent =
    std::function<void(TBackupFile* Sender, QString& Filename, qint32 FA, bool& DoRestore)>;
// Error codes of an operation and their texts.
enum BackupErrorCode : qint32 {
    beReadFile = 1,
    beOverwrite = 2,
    beReadArchive = 3,
    beWriteArchive = 4,
    beArchiveType = 5,
    beCompression = 6,
    beFileIds = 7,
    beFileName = 8, // a stored name that would leave the restore folder or names no file
};
QString BackupErrorText(qint32 code);

// A failed backup or restore: the code of its first error, with the code's text as its message.
class BackupError : public KqError {
public:
    explicit BackupError(qint32 code) : KqError(BackupErrorText(code)), m_code(code) {}
    qint32 code() const { return m_code; }

private:
    qint32 m_code;
};

// Archive layout.
inline constexpr int kArchiveBlockSize = 16384; // source bytes per block, and the block bound
inline constexpr int kVolumeMargin = 16484;     // room left for one block before a volume closes
inline constexpr int kMaxVolumes = 999;
inline constexpr char kFileListName[] = "FILE:LIST";
inline constexpr char kNextDiskName[] = "NEXT:DISK";

// The name of volume n (2 and up): the first volume's name with its extension replaced by ".nnn".
QString VolumeFileName(const QString& archive, int volume);
// MS-DOS date-time of local time: date in the high 16 bits, time (2-second steps) in the low.
qint32 DosDateTime(const QDateTime& dateTime);
QDateTime FromDosDateTime(qint32 value); // invalid when the fields are not a date and time
// Lower-cases the ASCII letters A-Z only; every other character stays as it is.
QString LowerAscii(const QString& text);
// Whether name matches a file mask with * and ?, ignoring case; "*.*" also matches names without a dot.
bool MatchesMask(const QString& mask, const QString& name);

// Packs files into an archive of optionally size-limited volumes and unpacks it. The archive is
// written front to back: a header (title, total size, file count), one entry per file (name,
// DOS date-time, data segments of independent zlib blocks of at most 16384 source bytes, raw when
// they do not shrink), an end mark. Entry names are lower-cased full paths in GBK.
class TBackupFile {
public:
    TBackupFile();
    virtual ~TBackupFile();
    TBackupFile(const TBackupFile&) = delete;
    TBackupFile& operator=(const TBackupFile&) = delete;

    QString Version() const { return QStringLiteral("3.00"); }
    TBackupMode BackupMode() const { return m_backupMode; }
    // Switching to bmIncremental also sets SetArchiveFlag.
    void SetBackupMode(TBackupMode mode);

    QString BackupTitle;
    TCompressionLevel CompressionLevel = clFastest;
    TRestoreMode RestoreMode = rmAll;
    qint32 MaxSize = 0; // bytes per volume; 0 means one volume of any size
    bool SetArchiveFlag = false;
    bool RestoreFullPath = false;
    bool SaveFileID = false;
    // Threads compressing the blocks of a backup; 0 means one per processor core. The archive is
    // the same whatever the number.
    int CompressionThreads = 0;
    TProgressEvent OnProgress;
    TNeedDiskEvent OnNeedDisk;
    TRestoreFileEvent OnRestoreFile;
    // Opens what is stored under a listed file's name (its full path) in place of the file itself,
    // such as a database's consistent image; nullptr leaves the file to be read.
    std::function<std::unique_ptr<QIODevice>(const QString& path)> OpenContent;

    // files: masks (wildcards in the last part, " /s" to descend into folders). True when the whole
    // archive, end mark included, was written and flushed; false when OnProgress or the disk
    // question stopped it. A failure throws once the operation has ended: BackupError with the
    // code of its first error, or KqError for a listed file that cannot be opened while the sizes
    // are added up (before the archive is created).
    // Each volume is written under a temporary name beside it (its name and ".partial"), and the
    // volumes replace an archive of the same name together once the end mark is on the disk, so
    // a failed or stopped backup leaves the previous archive as it was. Only where the component
    // itself asks for the next disk (no OnNeedDisk), the volumes written so far are put in place
    // before it asks: the disk in the drive is then changed.
    bool Backup(const QStringList& files, const QString& archiveName);
    // Unpacks into folder (empty: every file to its stored path). True when it ran to its end,
    // false when OnProgress or the disk question stopped it. A failure throws BackupError: a
    // missing archive, an unreadable header or an archive that breaks off outside the first
    // segment of a restored file at once ("Cannot read archive", "Invalid archive type" for an
    // unknown segment tag there), any other error once the operation has ended. Never writes
    // outside folder when one is given.
    bool Restore(const QString& archiveName, const QString& folder);

    // State of the last or running operation.
    QString CurrentFile() const { return m_currentFile; }
    qint64 TotalSize() const { return m_total; }
    qint64 DoneSize() const { return m_done; }
    qint32 FileCount() const { return m_fileCount; }
    // Entry names of the files the last Backup listed, in archive order.
    QStringList ListedNames() const;

protected:
    // Opens a volume or a restored file for writing (truncated, or at its end when append);
    // nullptr when it cannot be opened. Tests replace it to make writes fail.
    virtual std::unique_ptr<QIODevice> OpenForWrite(const QString& path, bool append);

private:
    struct Listed {
        QString path; // where the file is read from
        QString name; // the entry name: lower-cased full path
    };
    struct Volume {
        QString written; // the temporary name it is written under
        QString target;
    };
    class Input;

    void SetError(qint32 code);
    void RaiseProgress(const QString& fileName, TPercentage percent);
    void BlockDone(qint64 bytes);
    void Finish();
    bool AskForDisk(int volume);

    void ListFiles(const QStringList& masks, const QString& archiveName);
    void AddMask(QString mask, const QString& archiveKey);
    bool OpenVolume(const QString& path);
    bool CloseVolume();
    bool PlaceVolumes();
    void DropVolumes();
    bool Write(const QByteArray& bytes);
    bool WriteInt(qint32 value);
    std::unique_ptr<QIODevice> OpenSource(const QString& path, QString* error) const;
    void StoreFile(const Listed& file, bool isFileList, BlockPacker& packer);
    bool WriteSegment(BlockPacker& packer);
    bool WriteBlock(const BlockPacker::Block& block);
    void NextVolume();

    QString TargetPath(const QByteArray& storedName, bool* safe) const;
    bool Decide(const QString& target, qint32 dateTime) const;
    bool InsideFolder(const QString& target) const;
    void RestoreEntry(Input& in, const QByteArray& name, qint32 dateTime, BlockCodec& codec);
    void ContinueEntry(Input& in, const QByteArray& record, BlockCodec& codec);
    void ReadSegment(Input& in, QIODevice* target, BlockCodec& codec);
    void ReadEc2Blocks(Input& in, QIODevice* target, BlockCodec& codec);
    void ReadEcsBlocks(Input& in, QIODevice* target);
    bool Put(QIODevice* target, const char* data, qint64 size);
    void CloseTarget(std::unique_ptr<QIODevice>& target, qint32 dateTime);

    TBackupMode m_backupMode = bmAll;
    QList<Listed> m_list;
    QString m_currentFile;
    bool m_continue = false;
    qint32 m_error = 0;
    qint64 m_total = 0;
    qint64 m_done = 0;
    qint32 m_fileCount = 0;

    QString m_archive;
    std::unique_ptr<QIODevice> m_out;
    qint64 m_outPos = 0;
    qint64 m_writebackPos = 0; // where the volume's last StartWriteback began
    int m_volume = 0;
    QList<Volume> m_unplaced; // volumes written and not yet under their names

    QString m_folder;     // restore folder with its trailing separator, or empty
    QString m_lastTarget; // the restored file whose data a volume change continues
    bool m_lastRestoring = false;
    qint32 m_lastDateTime = 0;
};

} // namespace kq
