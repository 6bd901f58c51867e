#include "core/data/firstrun.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"
#include "core/shell/password.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

// The resources of a static library are registered by hand.
static void InitFirstRunResources() {
    Q_INIT_RESOURCE(firstrun);
}

namespace kq {

QStringList DataSetFileNames() {
    return {schema::Employee::File,   schema::Department::File, schema::ShiftTime::File,
            schema::BlankReson::File, schema::RigthTable::File, schema::FuncList::File,
            schema::SysSetup::File};
}

QStringList DatabaseFileNames() {
    return {QStringLiteral("WorkList.db"), QStringLiteral("Inform.db")};
}

void MakeDataFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw KqError(QStringLiteral("无法创建数据文件夹：%1").arg(QDir::toNativeSeparators(folder)));
}

QStringList CreateMissingDataFiles(const QString& folder) {
    QString dir = QDir::fromNativeSeparators(folder);
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    MakeDataFolder(dir);
    InitFirstRunResources();
    // On the server the documents are written through the connection, opened for the purpose
    // when the caller has not opened it yet; the data folder then holds no data file.
    const bool connect = OnServer() && !IsKQDataBaseOpen();
    if (connect) OpenKQDataBase(dir);
    const auto done = qScopeGuard([&] {
        if (connect) CloseKQDataBase();
    });
    QStringList created;
    for (const QString& name : DataSetFileNames()) {
        const QString path = ResolveFileName(dir + name);
        // Never a local file in place of the server's document.
        if (OnServer() && ServerDocumentName(path).isEmpty())
            throw KqError(QStringLiteral("%1 不是本次运行的数据文件夹").arg(QDir::toNativeSeparators(dir)));
        if (DocumentExists(path)) continue;
        QFile source(QStringLiteral(":/firstrun/") + name);
        if (!source.open(QIODevice::ReadOnly)) throw KqError(QStringLiteral("缺少初始数据：%1").arg(name));
        if (!CreateDataFileBytes(path, source.readAll())) continue;
        // The delivered administrator's password is stored as a hash salted for this folder.
        if (name == schema::Employee::File) HashClearPasswords(path);
        created << name;
    }
    if (OnServer()) return created;
    for (const QString& name : DatabaseFileNames()) {
        if (!QFileInfo::exists(ResolveFileName(dir + name))) created << name;
    }
    EnsureDatabaseFiles(dir);
    return created;
}

bool IsDataFolder(const QString& folder) {
    QString dir = QDir::fromNativeSeparators(folder);
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    if (!QFileInfo(dir).isDir()) return false;
    if (OnServer()) return true; // the records are on the server; the folder keeps the locks
    const QStringList names = DatabaseFileNames();
    return std::all_of(names.cbegin(), names.cend(),
                       [&](const QString& name) { return QFileInfo(ResolveFileName(dir + name)).isFile(); });
}

} // namespace kq
