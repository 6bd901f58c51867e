#pragma once

#include <QString>

namespace kq {

// The one settings row of SysSetup.Dat.
struct SysSetupInfo {
    bool StartBrush = false;
    QString CompanyName;
    bool IsBeep = false;
};

// Reads the first row of SysSetup.Dat in the data folder; throws KqError when the file is
// missing or unreadable. An empty file reads as defaults.
SysSetupInfo ReadSysSetup();
// Stores the settings in the first row of SysSetup.Dat (a row is added to an empty file) and
// writes the file at once; the file's other fields and rows are kept. Throws KqError.
void WriteSysSetup(const SysSetupInfo& info);

} // namespace kq
