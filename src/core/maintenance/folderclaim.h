#pragma once

#include "core/data/ownerlock.h"

#include <QString>

namespace kq {

// Takes the data folder for this process: its owner lock in mode (Program or Command). A process
// that finds the folder otherwise unused first completes or drops a restore that was interrupted
// there and removes the images a killed backup left, so nothing opens half-swapped data. Waits a
// while for a restore or another process's tidying to end. Throws KqError when the folder stays
// taken or the lock file cannot be opened.
void ClaimDataFolder(const QString& folder, OwnerLock::Mode mode);

} // namespace kq
