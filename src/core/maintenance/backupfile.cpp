#include "core/maintenance/backupfile.h"

#include "core/platform/platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace kq {

QString BackupErrorText(qint32 code) {
    switch (code) {
    case beReadFile:
        return QStringLiteral("Cannot read file");
    case beOverwrite:
        return QStringLiteral("Overwriting file failed");
    case beReadArchive:
        return QStringLiteral("Cannot read archive");
    case beWriteArchive:
        return QStringLiteral("Cannot write to archive");
    case beArchiveType:
        return QStringLiteral("Invalid archive type");
    case beCompression:
        return QStringLiteral("Compression error");
    case beFileIds:
        return QStringLiteral("Cannot create temporary file to save the file IDs");
    case beFileName:
        return QStringLiteral("Invalid file name in archive");
    default:
        return {};
    }
}

QString VolumeFileName(const QString& archive, int volume) {
    const int slash =
        int(qMax(archive.lastIndexOf(QLatin1Char('/')), archive.lastIndexOf(QLatin1Char('\\'))));
    const int dot = int(archive.lastIndexOf(QLatin1Char('.')));
    const QString stem = dot > slash ? archive.left(dot) : archive;
    return stem + QStringLiteral(".%1").arg(volume, 3, 10, QLatin1Char('0'));
}

qint32 DosDateTime(const QDateTime& dateTime) {
    const QDateTime local = dateTime.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    if (!d.isValid() || d.year() < 1980) return (1 << 5 | 1) << 16; // 1980-01-01, the first date it holds
    if (d.year() > 2107) return qint32(quint32(127 << 9 | 12 << 5 | 31) << 16 | (23 << 11 | 59 << 5 | 29));
    const quint32 date = quint32((d.year() - 1980) << 9 | d.month() << 5 | d.day());
    const quint32 time = quint32(t.hour() << 11 | t.minute() << 5 | t.second() / 2);
    return qint32(date << 16 | time);
}

QDateTime FromDosDateTime(qint32 value) {
    const quint32 v = quint32(value);
    const QDate d(int(v >> 25) + 1980, int(v >> 21 & 0x0F), int(v >> 16 & 0x1F));
    const QTime t(int(v >> 11 & 0x1F), int(v >> 5 & 0x3F), int(v & 0x1F) * 2);
    if (!d.isValid() || !t.isValid()) return {};
    return QDateTime(d, t);
}

QString LowerAscii(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    return out;
}

namespace {

bool Matches(const QChar* p, const QChar* pEnd, const QChar* n, const QChar* nEnd) {
    // Greedy with one backtrack point: the last star seen.
    const QChar* star = nullptr;
    const QChar* resume = nullptr;
    while (n != nEnd) {
        if (p != pEnd && *p == QLatin1Char('*')) {
            star = ++p;
            resume = n;
        } else if (p != pEnd && (*p == QLatin1Char('?') || p->toCaseFolded() == n->toCaseFolded())) {
            ++p;
            ++n;
        } else if (star) {
            p = star;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p != pEnd && *p == QLatin1Char('*'))
        ++p;
    return p == pEnd;
}

} // namespace

bool MatchesMask(const QString& mask, const QString& name) {
    if (Matches(mask.constBegin(), mask.constEnd(), name.constBegin(), name.constEnd())) return true;
    // As on the system the masks come from, a trailing ".*" also matches a name with no extension.
    return mask.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')) &&
           Matches(mask.constBegin(), mask.constEnd() - 2, name.constBegin(), name.constEnd());
}

TBackupFile::TBackupFile() = default;
TBackupFile::~TBackupFile() = default;

void TBackupFile::SetBackupMode(TBackupMode mode) {
    m_backupMode = mode;
    if (mode == bmIncremental) SetArchiveFlag = true;
}

QStringList TBackupFile::ListedNames() const {
    QStringList names;
    for (const Listed& l : m_list)
        names << l.name;
    return names;
}

std::unique_ptr<QIODevice> TBackupFile::OpenForWrite(const QString& path, bool append) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate)))
        return nullptr;
    return file;
}

void TBackupFile::SetError(qint32 code) {
    if (m_error == 0) m_error = code;
    m_continue = false;
}

void TBackupFile::RaiseProgress(const QString& fileName, TPercentage percent) {
    if (!OnProgress) return;
    bool go = true;
    OnProgress(this, fileName, percent, go);
    if (!go) m_continue = false;
}

void TBackupFile::BlockDone(qint64 bytes) {
    m_done += bytes;
    const qint64 percent = m_total > 0 ? qBound(qint64(0), m_done * 100 / m_total, qint64(100)) : 0;
    RaiseProgress(m_currentFile, TPercentage(percent));
}

namespace {

// Runs ask on the application's thread, where the prompts live, and waits for its answer: an
// operation may run on a thread of its own.
bool OnApplicationThread(const std::function<bool()>& ask) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return ask();
    bool answer = false;
    QMetaObject::invokeMethod(
        app, [&] { answer = ask(); }, Qt::BlockingQueuedConnection);
    return answer;
}

} // namespace

void TBackupFile::Finish() {
    RaiseProgress(QString(), 100);
    if (m_error == 0) return;
    if (OnError) {
        OnError(this, m_error, BackupErrorText(m_error));
        return;
    }
    OnApplicationThread([&] {
        Prompt().message(QStringLiteral("Error"), BackupErrorText(m_error), Prompter::Icon::Error);
        return true;
    });
}

bool TBackupFile::AskForDisk(int volume) {
    if (OnNeedDisk) {
        bool go = true;
        OnNeedDisk(this, quint16(volume), go);
        return go;
    }
    return OnApplicationThread([&] {
        return Prompt().confirm(
            QStringLiteral("Information"),
            QStringLiteral("Please insert disk %1 and click OK to continue.").arg(volume));
    });
}

} // namespace kq
