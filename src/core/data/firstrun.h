#pragma once

#include <QString>
#include <QStringList>

namespace kq {

// The seven dataset files of the data folder, each under its one stored name.
QStringList DataSetFileNames();
// The two SQLite database files of the data folder.
QStringList DatabaseFileNames();

// The administrator delivered in Employee.dat and the password the sign-in hint names.
inline const QString kDefaultAdminName = QStringLiteral("管理员");
inline const QString kDefaultAdminPassword = QStringLiteral("8888");

// Creates the data folder when it is missing. Throws KqError.
void MakeDataFolder(const QString& folder);

// Creates the folder and every missing file of it with its first-run content; an existing file
// (under any letter case) is never touched. Returns the names created. Throws KqError.
QStringList CreateMissingDataFiles(const QString& folder);

// Whether folder exists and holds the two database files (under any letter case): a folder that
// was set up as a data folder, not a mistyped path.
bool IsDataFolder(const QString& folder);

} // namespace kq
