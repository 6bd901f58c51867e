#pragma once

#include "core/data/dataset.h"

#include <functional>

namespace kq {

// Tells the operator that the file of ds was read again because another program changed it
// (nothing for Reread::No).
void TellReread(const DataSet& ds, DataSet::Reread reread);

// A change a window makes to its open dataset, written at once: the file is first read again when
// another program changed it (the operator is told), then ds.update(change) runs the change on
// the file's current content and writes it. A refusal or failure shows its message; when the
// write failed the change stays in the window and the message says it is not saved yet.
// Returns whether the change was written.
bool ApplyChange(DataSet& ds, const std::function<void()>& change);

// Before a window over ds closes: writes what is still unwritten; when that fails, shows why and
// asks whether to stay (keeping the changes) or to drop them. Returns whether the window may
// close (ds is closed then).
bool CloseDataSet(DataSet& ds);

} // namespace kq
