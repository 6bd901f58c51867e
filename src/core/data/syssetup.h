#pragma once

#include <QString>
#include <optional>

namespace kq {

// The longest double-swipe interval the settings take, in seconds.
inline constexpr int kMaxDoubleSwipeSeconds = 3600;

// The one settings row of SysSetup.Dat.
struct SysSetupInfo {
    bool StartBrush = false;
    QString CompanyName;
    bool IsBeep = false;
    // A second swipe of the same card within this many seconds is refused, whatever slot is
    // selected; 0 (the default, also for a file without the field) refuses none.
    int DoubleSwipeSeconds = 0;
    bool operator==(const SysSetupInfo& o) const {
        return StartBrush == o.StartBrush && CompanyName == o.CompanyName && IsBeep == o.IsBeep &&
               DoubleSwipeSeconds == o.DoubleSwipeSeconds;
    }
};

// Reads the first row of SysSetup.Dat in the data folder; throws KqError when the file is
// missing or unreadable. An empty file reads as defaults.
SysSetupInfo ReadSysSetup();
// Stores the settings in the first row of SysSetup.Dat (a row is added to an empty file) and
// writes the file at once; the file's other fields and rows are kept. Throws KqError.
// With base (the settings as the caller read them), only the values that differ from base are
// stored; a value another program changed since is never overwritten: ChangedElsewhere is thrown
// and nothing is written.
void WriteSysSetup(const SysSetupInfo& info, const std::optional<SysSetupInfo>& base = std::nullopt);

} // namespace kq
