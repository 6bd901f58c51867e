#pragma once

#include "cli/clicommand.h"

#include <QDate>
#include <QList>

namespace kq::cli {

// The value of a required date option "yyyy-mm-dd"; a usage error when absent or unreadable.
QDate DateOption(Args& args, const QString& name);

// A table as tab-separated lines under a line of its titles.
void PrintTable(QTextStream& out, const QStringList& titles, const QList<QStringList>& rows);

} // namespace kq::cli
