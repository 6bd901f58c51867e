#pragma once

#include "cli/clicommand.h"

namespace kq::cli {

// Records the swipes of a terminal's log, one a line: CARD <TAB> "yyyy-mm-dd hh:nn:ss"
// [<TAB> SLOT], UTF-8. A line without a slot takes the automatic choice for its time. Prints one
// line on stderr per refused swipe (line number, card, reason) and a summary on stdout; returns 1
// when any swipe was refused, 0 otherwise. A swipe identical to a stored punch is skipped
// silently, so importing a file again stores nothing and returns 0.
int ImportPunches(const QString& fileName, Context& ctx);

} // namespace kq::cli
