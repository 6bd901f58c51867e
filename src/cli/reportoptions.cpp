#include "cli/reportoptions.h"

namespace kq::cli {

QDate DateOption(Args& args, const QString& name) {
    const QString text = args.option(name);
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        throw UsageError(QStringLiteral("%1 needs a date yyyy-mm-dd, not \"%2\"").arg(name, text));
    return date;
}

void PrintTable(QTextStream& out, const QStringList& titles, const QList<QStringList>& rows) {
    out << titles.join(QLatin1Char('\t')) << '\n';
    for (const QStringList& row : rows)
        out << row.join(QLatin1Char('\t')) << '\n';
}

} // namespace kq::cli
