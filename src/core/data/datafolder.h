#pragma once

#include <QString>

namespace kq {

// The data folder: the executable's folder with "Data/" appended, kept for the whole run.
QString DataFolder();
void SetDataFolder(const QString& folder); // keeps a trailing separator
QString DataFolderFor(const QString& executableDir);
// The folder rule applied to the running executable; sets and returns the global value.
QString ComputeDataFolder();
// The windows compute the folder again at creation; the rule gives the same value every time,
// so a folder already set for this run is kept.
QString EnsureDataFolder();

// A file of the data folder, its name matched ignoring case.
QString DataFile(const QString& name);
// An existing file whose name equals path's file name ignoring case; path itself when none does.
QString ResolveFileName(const QString& path);

} // namespace kq
