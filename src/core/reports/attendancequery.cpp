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

XlsTable QueryXlsTable(const RecordColumns& columns, QList<QStringList> rows, const QString& name,
                       const QStringList& totalsLines) {
    XlsTable table;
    table.headerLines << QStringLiteral("===") + name + QStringLiteral("考勤统计===");
    table.columns = columns.titles();
    table.rows = std::move(rows);
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
