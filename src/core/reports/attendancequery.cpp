#include "core/reports/attendancequery.h"

#include "core/data/datafolder.h"

#include <QRegularExpression>

namespace kq {

QList<TSlotTotals> RefreshRecords(const QList<TBaseInfo>& slotTable, const RecordFilter& filter) {
    if (!filter.wholeTable && !filter.name.isEmpty()) CompletePeriod(filter.name, filter.first, filter.last);
    return EvaluateRecords(slotTable, filter);
}

QList<QStringList> RecordRows(const RecordColumns& columns, const RecordFilter& filter) {
    const SqlStatement st = RecordStatement(filter);
    QSqlQuery q = ExecSql(st.sql, st.values);
    QList<QStringList> rows;
    while (q.next())
        rows.append(columns.rowTexts(q));
    return rows;
}

QList<int> MarkedColumns(const RecordColumns& columns, const QStringList& row) {
    QList<int> marked;
    for (int c = 0; c < row.size(); ++c)
        if (columns.isMarked(c, row.at(c))) marked << c;
    return marked;
}

XlsTable QueryXlsTable(const RecordColumns& columns, QList<QStringList> rows, const QString& name,
                       const QStringList& totalsLines) {
    XlsTable table;
    table.headerLines << QStringLiteral("===") + name + QStringLiteral("考勤统计===");
    table.columns = columns.titles();
    table.kinds = columns.kinds();
    table.rows = std::move(rows);
    for (const QStringList& row : table.rows)
        table.marked.append(MarkedColumns(columns, row));
    table.footerLines = totalsLines;
    return table;
}

QString QueryXlsFileName(const QString& name) {
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString safe = name;
    safe.replace(unsafe, QStringLiteral("_"));
    return DataFolder() + safe + QStringLiteral("考勤表.XLS");
}

} // namespace kq
