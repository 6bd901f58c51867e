#pragma once

#include <QString>

namespace kq {

// The data folder of this run, kept for the whole run; ends with "/".
QString DataFolder();
void SetDataFolder(const QString& folder); // keeps a trailing separator
QString DataFolderFor(const QString& executableDir);

// What decides the data folder, first to last: a folder named on the command line, the
// environment variable KAOQIN_DATA, a writable "Data" folder beside the executable (the portable
// layout), else the per-user folder.
struct DataFolderSources {
    QString option;
    QString environment;
    QString executableDir;
    QString userFolder;
};
QString ChooseDataFolder(const DataFolderSources& sources);
// The per-user data folder: $XDG_DATA_HOME/kaoqin/Data (~/.local/share/kaoqin/Data).
QString UserDataFolder();
// The rule applied to the running executable, with option from the command line (may be empty);
// sets and returns the global value.
QString ComputeDataFolder(const QString& option = {});
// The windows compute the folder again at creation; the rule gives the same value every time,
// so a folder already set for this run is kept.
QString EnsureDataFolder();

// A file of the data folder, its name matched ignoring case.
QString DataFile(const QString& name);
// An existing file whose name equals path's file name ignoring case; path itself when none does.
QString ResolveFileName(const QString& path);

} // namespace kq
