#include "core/data/firstrun.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/shell/password.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The resources of a static library are registered by hand.
static void InitFirstRunResources() {
    Q_INIT_RESOURCE(firstrun);
}

namespace kq {

QStringList DataSetFileNames() {
    return {QStringLiteral("Employee.dat"),   QStringLiteral("Department.dat"),
            QStringLiteral("ShiftTime.dat"),  QStringLiteral("BlankReson.dat"),
            QStringLiteral("RigthTable.dat"), QStringLiteral("FuncList.dat"),
            QStringLiteral("SysSetup.Dat")};
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
    QStringList created;
    for (const QString& name : DataSetFileNames()) {
        if (QFileInfo::exists(ResolveFileName(dir + name))) continue;
        QFile source(QStringLiteral(":/firstrun/") + name);
        if (!source.open(QIODevice::ReadOnly)) throw KqError(QStringLiteral("缺少初始数据：%1").arg(name));
        WriteDataFileBytes(dir + name, source.readAll());
        // The delivered administrator's password is stored as a hash salted for this folder.
        if (name == QLatin1String("Employee.dat")) HashClearPasswords(dir + name);
        created << name;
    }
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
    const QStringList names = DatabaseFileNames();
    return std::all_of(names.cbegin(), names.cend(),
                       [&](const QString& name) { return QFileInfo(ResolveFileName(dir + name)).isFile(); });
}

} // namespace kq
