#include "core/maintenance/restorestage.h"

#include "core/data/durablefile.h"
#include "core/data/kqerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace kq {

namespace {

const QString kCommitName = QStringLiteral("commit");

std::function<void(int)>& Hook() {
    static std::function<void(int)> hook;
    return hook;
}

int& StepCount() {
    static int count = 0;
    return count;
}

void Step() {
    if (Hook()) Hook()(++StepCount());
}

QString WithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The places a stage can be: beside the data folder, else inside it.
QStringList StagePlaces(const QString& data) {
    const QFileInfo folder(QDir::cleanPath(data));
    return {folder.absolutePath() + QStringLiteral("/.") + folder.fileName() + QStringLiteral(".restore/"),
            data + QStringLiteral(".restore/")};
}

bool Exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void Move(const QString& from, const QString& to) {
    if (!RenameFile(from, to))
        throw KqError(QStringLiteral("无法移动文件：%1 → %2").arg(Native(from), Native(to)));
    Step();
}

void Sync(const QStringList& folders) {
    for (const QString& folder : folders)
        if (!SyncFolder(folder)) throw KqError(QStringLiteral("无法写入磁盘：%1").arg(Native(folder)));
    Step();
}

// The names the committed swap of a stage puts in place.
QStringList Plan(const QString& root) {
    QFile marker(root + kCommitName);
    if (!marker.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(marker.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Puts each staged file of names in place of the data folder's file, which moves into old/ with
// its SQLite companions. Every step can be taken again after an interruption: a name whose
// staged file is gone is done.
void RollForward(const QString& data, const QString& root, const QStringList& names) {
    for (const QString& name : names) {
        const QString staged = root + QStringLiteral("new/") + name;
        if (!Exists(staged)) continue;
        for (const QString& suffix :
             {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
            if (Exists(data + name + suffix))
                Move(data + name + suffix, root + QStringLiteral("old/") + name + suffix);
        Move(staged, data + name);
    }
    Sync({data, root + QStringLiteral("old/"), root + QStringLiteral("new/")});
}

// Removes a stage; the marker goes first, since a stage without one is only ever dropped.
void Drop(const QString& root) {
    QFile::remove(root + kCommitName);
    SyncFolder(root);
    Step();
    QDir(root).removeRecursively();
    Step();
}

} // namespace

RestoreStage::RestoreStage(const QString& dataFolder) : m_data(WithSlash(dataFolder)) {
    FinishInterruptedRestore(m_data);
    // Renames into the data folder need the stage on its file system: a data folder that is a
    // mount point of its own keeps the stage inside.
    const QString volume = QStorageInfo(m_data).rootPath();
    for (const QString& root : StagePlaces(m_data)) {
        if (QDir().mkpath(root + QStringLiteral("new")) && QDir().mkpath(root + QStringLiteral("old")) &&
            QStorageInfo(root).rootPath() == volume) {
            m_root = root;
            break;
        }
        QDir(root).removeRecursively();
    }
    if (m_root.isEmpty())
        throw KqError(QStringLiteral("无法建立恢复数据用的临时文件夹：%1")
                          .arg(Native(StagePlaces(m_data).constFirst())));
    m_new = m_root + QStringLiteral("new/");
    m_old = m_root + QStringLiteral("old/");
}

RestoreStage::~RestoreStage() {
    if (!m_keep) Drop(m_root);
}

void RestoreStage::swap() {
    StepCount() = 0;
    const QStringList names = QDir(m_new).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names)
        if (!SyncFile(m_new + name))
            throw KqError(QStringLiteral("无法写入磁盘：%1").arg(Native(m_new + name)));
    if (!SyncFolder(m_new)) throw KqError(QStringLiteral("无法写入磁盘：%1").arg(Native(m_new)));
    Step();
    commit(names);
    try {
        RollForward(m_data, m_root, names);
    } catch (const KqError&) {
        undo();
        throw;
    }
    m_keep = false; // done: what is left in the stage is the replaced data
}

void RestoreStage::commit(const QStringList& names) {
    const QString partial = m_root + kCommitName + QStringLiteral(".partial");
    QFile marker(partial);
    const QByteArray text = names.join(QLatin1Char('\n')).toUtf8();
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate) || marker.write(text) != text.size() ||
        !SyncFile(marker))
        throw KqError(QStringLiteral("无法写入磁盘：%1").arg(Native(partial)));
    marker.close();
    if (!RenameFile(partial, m_root + kCommitName) || !SyncFolder(m_root))
        throw KqError(QStringLiteral("无法写入磁盘：%1").arg(Native(m_root)));
    m_keep = true; // from here on the next start completes the swap, unless it is undone
    Step();
}

void RestoreStage::undo() {
    for (const QString& name : Plan(m_root))
        if (!Exists(m_new + name) && Exists(m_data + name)) Move(m_data + name, m_new + name);
    for (const QString& name :
         QDir(m_old).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        Move(m_old + name, m_data + name);
    Sync({m_data, m_old, m_new});
    QFile::remove(m_root + kCommitName);
    SyncFolder(m_root);
    m_keep = false;
}

void FinishInterruptedRestore(const QString& dataFolder) {
    const QString data = WithSlash(dataFolder);
    for (const QString& root : StagePlaces(data)) {
        if (!QFileInfo(root).isDir()) continue;
        if (QFileInfo::exists(root + kCommitName)) RollForward(data, root, Plan(root));
        Drop(root);
    }
}

bool RestoreInterrupted(const QString& dataFolder) {
    const QStringList places = StagePlaces(WithSlash(dataFolder));
    return std::any_of(places.cbegin(), places.cend(),
                       [](const QString& root) { return QFileInfo::exists(root + kCommitName); });
}

void SetRestoreStepHook(std::function<void(int step)> hook) {
    Hook() = std::move(hook);
    StepCount() = 0;
}

} // namespace kq
