#include "core/maintenance/databasesnapshot.h"

#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/maintenance/sqliteimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kq {

namespace {

const QString kPrefix = QStringLiteral(".snapshot-");

QString WithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

} // namespace

DatabaseSnapshot::DatabaseSnapshot(const QString& dataFolder, const QStringList& files) {
    const QStringList databases = DatabaseFileNames();
    for (const QString& file : files) {
        const QString name = QFileInfo(file).fileName();
        if (!databases.contains(name, Qt::CaseInsensitive)) continue;
        auto held = std::make_unique<ReadSnapshot>(file);
        if (held->fileHoldsIt()) {
            m_held[QDir::cleanPath(file)] = std::move(held);
            continue;
        }
        held.reset();
        if (!m_dir)
            m_dir =
                std::make_unique<QTemporaryDir>(WithSlash(dataFolder) + kPrefix + QStringLiteral("XXXXXX"));
        if (!m_dir->isValid())
            throw KqError(QStringLiteral("无法建立临时文件夹：%1").arg(m_dir->errorString()));
        const QString image = m_dir->filePath(name);
        TakeDatabaseImage(file, image);
        m_images.insert(QDir::cleanPath(file), image);
    }
}

DatabaseSnapshot::~DatabaseSnapshot() = default;

std::unique_ptr<QIODevice> DatabaseSnapshot::open(const QString& path) const {
    const QString key = QDir::cleanPath(path);
    if (const auto held = m_held.find(key); held != m_held.end()) return held->second->open();
    if (!m_images.contains(key)) return nullptr;
    auto image = std::make_unique<QFile>(m_images.value(key));
    if (!image->open(QIODevice::ReadOnly)) return nullptr;
    return image;
}

void RemoveSnapshotLeftovers(const QString& dataFolder) {
    // Compared by hand: a name filter would compile a regular expression (and its JIT code,
    // a few hundred KB resident) in every command that opens the folder.
    QDir folder(dataFolder);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        if (name.startsWith(kPrefix)) QDir(folder.filePath(name)).removeRecursively();
}

} // namespace kq
