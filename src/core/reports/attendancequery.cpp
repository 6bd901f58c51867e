#include "core/reports/attendancequery.h"

#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/reports/absence.h"
#include "core/reports/rowscan.h"
#include "core/reports/statistics.h"

#include <QRegularExpression>
#include <optional>

namespace kq {

void CompleteRecords(const RecordFilter& filter) {
    if (!filter.wholeTable && !filter.name.isEmpty()) CompletePeriod(filter.name, filter.first, filter.last);
}

QList<TSlotTotals> RefreshRecords(const QList<TBaseInfo>& slotTable, const RecordFilter& filter) {
    CompleteRecords(filter);
    return EvaluateRecords(slotTable, filter);
}

int QueryAbsentDays(const RecordFilter& filter, const WorkCalendar& calendar, const QDate& today,
                    int reasonCount, std::shared_ptr<WorkListReader> snapshot) {
    if (filter.wholeTable) return 0;
    QSet<QString> names;
    for (const StatEmployee& e : StatEmployees())
        if (!e.OperatorOnly && (filter.name.isEmpty() || e.Name == filter.name)) names.insert(e.Name);
    int sum = 0;
    for (int days :
         CountAbsentDays(names, calendar, filter.first, filter.last, today, reasonCount, std::move(snapshot)))
        sum += days;
    return sum;
}

void ForEachRecordRow(const RecordColumns& columns, const RecordFilter& filter,
                      std::shared_ptr<WorkListReader> snapshot,
                      const std::function<bool(const QStringList& row)>& take) {
    const SqlStatement st = RecordStatement(filter);
    RowScan scan(std::move(snapshot), st.sql, st.values);
    QVariantList values(FieldISn + 1);
    while (scan.next()) {
        for (int f = 0; f <= FieldISn; ++f)
            values[f] = scan.value(f);
        if (!take(columns.rowTexts(values))) return;
    }
}

QList<QStringList> RecordRows(const RecordColumns& columns, const RecordFilter& filter,
                              std::shared_ptr<WorkListReader> snapshot, int limit) {
    QList<QStringList> rows;
    ForEachRecordRow(columns, filter, std::move(snapshot), [&](const QStringList& row) {
        rows.append(row);
        return rows.size() < limit;
    });
    return rows;
}

QList<int> MarkedColumns(const RecordColumns& columns, const QStringList& row) {
    QList<int> marked;
    for (int c = 0; c < row.size(); ++c)
        if (columns.isMarked(c, row.at(c))) marked << c;
    return marked;
}

int WriteQueryTable(const RecordColumns& columns, const RecordFilter& filter,
                    std::shared_ptr<WorkListReader> snapshot, const QString& name,
                    const QStringList& totalsLines, const std::vector<TableWriter*>& writers,
                    const std::function<void(const QStringList& row)>& each) {
    const QStringList header{QStringLiteral("===") + name + QStringLiteral("考勤统计===")};
    for (TableWriter* writer : writers)
        writer->begin(header, columns.titles(), columns.kinds());
    std::optional<KqError> failed;
    int rows = 0;
    ForEachRecordRow(columns, filter, std::move(snapshot), [&](const QStringList& row) {
        ++rows;
        if (each) each(row);
        if (!failed && !writers.empty()) {
            const QList<int> marked = MarkedColumns(columns, row);
            try {
                for (TableWriter* writer : writers)
                    writer->row(row, marked);
            } catch (const KqError& e) {
                failed = e;
            }
        }
        // After a failure the rows are read on only for each.
        return !failed || bool(each);
    });
    if (failed) throw *failed;
    for (TableWriter* writer : writers)
        writer->finish(totalsLines);
    return rows;
}

QString QueryXlsFileName(const QString& name) {
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString safe = name;
    safe.replace(unsafe, QStringLiteral("_"));
    return DataFolder() + safe + QStringLiteral("考勤表.XLS");
}

} // namespace kq
