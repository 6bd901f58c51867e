#include "core/reports/tablewriter.h"

#include <QDate>
#include <QRegularExpression>

namespace kq {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// "h:mm:ss" with any number of hours, blanks around it allowed.
std::optional<qint64> Seconds(const QString& text, bool withinDay) {
    static const QRegularExpression clock(QStringLiteral("^\\s*(\\d{1,7}):([0-5]\\d):([0-5]\\d)\\s*$"));
    const QRegularExpressionMatch m = clock.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const qint64 hours = m.captured(1).toLongLong();
    if (withinDay && hours > 23) return std::nullopt;
    return hours * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
}

} // namespace

std::optional<double> CellNumber(CellKind kind, const QString& text) {
    switch (kind) {
    case CellKind::Text:
        return std::nullopt;
    case CellKind::Number: {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        return ok ? std::optional<double>(value) : std::nullopt;
    }
    case CellKind::Duration:
    case CellKind::Time: {
        const std::optional<qint64> s = Seconds(text, kind == CellKind::Time);
        return s ? std::optional<double>(double(*s) / kSecondsPerDay) : std::nullopt;
    }
    case CellKind::Date: {
        const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid()) return std::nullopt;
        return double(QDate(1899, 12, 30).daysTo(date));
    }
    }
    return std::nullopt;
}

void WriteTable(TableWriter& writer, const XlsTable& table) {
    writer.begin(table.headerLines, table.columns, table.kinds);
    for (int r = 0; r < table.rows.size(); ++r)
        writer.row(table.rows.at(r), r < table.marked.size() ? table.marked.at(r) : QList<int>());
    writer.finish(table.footerLines);
}

int NumberFormatOf(CellKind kind) {
    switch (kind) {
    case CellKind::Duration:
        return 1;
    case CellKind::Time:
        return 2;
    case CellKind::Date:
        return 3;
    default:
        return 0;
    }
}

} // namespace kq
