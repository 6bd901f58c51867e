#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kq {

// What a column holds, so that a spreadsheet gets numbers it can compute with: counts and days
// as numbers, durations (hours may pass 24) and times of day as fractions of a day shown
// h:mm:ss, dates as day numbers shown yyyy-mm-dd. Everything else stays text.
enum class CellKind { Text, Number, Duration, Time, Date };

// The spreadsheet value of a cell's text: a number, or a day count or fraction of a day (days
// since 1899-12-30, the spreadsheets' date origin). Empty for text, for an empty cell and for a
// text that is not of its kind (which is then written as text).
std::optional<double> CellNumber(CellKind kind, const QString& text);

// The number formats of durations (the hours in brackets go past 24), times and dates, shared by
// the spreadsheet writers; NumberFormatOf gives a kind's position in this list counted from 1, or
// 0 for the General format.
inline constexpr const char* kNumberFormats[] = {"[h]:mm:ss", "hh:mm:ss", "yyyy-mm-dd"};
inline constexpr int kNumberFormatCount = int(sizeof kNumberFormats / sizeof *kNumberFormats);
int NumberFormatOf(CellKind kind);

// An exported table written one row at a time, so that rows can come from a query as they are
// read: begin, any number of rows, finish. Throws KqError; a writer that fails or is destroyed
// before finish never leaves a partial file under the target's name.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    // The lines above the table and the column captions with the kind of each column (missing
    // kinds are Text).
    virtual void begin(const QStringList& headerLines, const QStringList& columns,
                       const QList<CellKind>& kinds) = 0;
    // One row; marked lists the columns shown with the red fill of late and early times.
    virtual void row(const QStringList& cells, const QList<int>& marked = {}) = 0;
    // The lines below the table; writes the file.
    virtual void finish(const QStringList& footerLines) = 0;
};

// A displayed table with the lines above and below it, as handed to the spreadsheet writers.
struct XlsTable {
    QStringList headerLines;  // one line per row above the table
    QStringList columns;      // column captions, written bold
    QList<CellKind> kinds;    // per column; Text where missing
    QList<QStringList> rows;  // cell texts, one list per row
    QList<QList<int>> marked; // per row, the columns shown in red; none where missing
    QStringList footerLines;  // one line per row below the table
};

// Hands a whole table to a writer.
void WriteTable(TableWriter& writer, const XlsTable& table);

} // namespace kq
