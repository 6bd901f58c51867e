#pragma once

#include <QString>
#include <QStringList>

namespace kq {

// The seven dataset files of the data folder, each under its one stored name.
QStringList DataSetFileNames();

// The administrator delivered in Employee.dat and the password the sign-in hint names.
inline const QString kDefaultAdminName = QStringLiteral("管理员");
inline const QString kDefaultAdminPassword = QStringLiteral("8888");

// Creates the folder and every missing file of it with its first-run content; an existing file
// (under any letter case) is never touched. Returns the names created. Throws KqError.
QStringList CreateMissingDataFiles(const QString& folder);

} // namespace kq
