#pragma once

#include <QStringList>
#include <QTextStream>

namespace kq::cli {

// Runs the tool on its arguments (the program's name left out): the tool's options, then a
// registered command with its own options and words, or the help of the tool or of a command.
// Returns the exit status: 0 done or help shown, 1 refused or failed, 2 bad arguments (the
// usage on err).
int Run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace kq::cli
