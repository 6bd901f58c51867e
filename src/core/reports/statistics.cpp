#include "core/reports/statistics.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/shared.h"
#include "core/reports/absence.h"
#include "core/reports/rowscan.h"

#include <QHash>

namespace kq {

namespace {

struct StatColumn {
    QString caption;
    CellKind kind;
};

QList<StatColumn> StatLayout(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons) {
    QList<StatColumn> columns{{QStringLiteral("工号"), CellKind::Number},
                              {QStringLiteral("姓名"), CellKind::Text},
                              {QStringLiteral("部门"), CellKind::Text}};
    for (int s = 0; s < slotTable.size(); ++s) {
        const TBaseInfo& info = slotTable.at(s);
        if (info.Marked) {
            const QString what = s % 2 == 0 ? QStringLiteral("迟到") : QStringLiteral("早退");
            columns << StatColumn{info.ShiftName + what + QStringLiteral("次数"), CellKind::Number}
                    << StatColumn{info.ShiftName + what + QStringLiteral("时间"), CellKind::Duration};
        }
        if (info.Accumulate)
            columns << StatColumn{info.ShiftName + QStringLiteral("累计时间"), CellKind::Duration};
    }
    for (const LeaveReason& r : reasons)
        columns << StatColumn{r.Name + QStringLiteral("次数"), CellKind::Number};
    columns << StatColumn{QStringLiteral("应出勤天数"), CellKind::Number}
            << StatColumn{AbsentDaysTitle(), CellKind::Number};
    return columns;
}

} // namespace

QStringList StatColumns(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons) {
    QStringList captions;
    for (const StatColumn& c : StatLayout(slotTable, reasons))
        captions << c.caption;
    return captions;
}

QList<CellKind> StatColumnKinds(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons) {
    QList<CellKind> kinds;
    for (const StatColumn& c : StatLayout(slotTable, reasons))
        kinds << c.kind;
    return kinds;
}

QList<StatEmployee> StatEmployees() {
    DataSet departments;
    departments.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    QHash<int, QString> deptNames;
    for (departments.first(); !departments.eof(); departments.next()) {
        const int id = departments.asInt(QStringLiteral("ID"));
        if (!deptNames.contains(id)) deptNames.insert(id, departments.asString(QStringLiteral("DeptName")));
    }
    DataSet employees;
    employees.open(DataFile(QStringLiteral("Employee.dat")), QStringLiteral("Dept"));
    QList<StatEmployee> list;
    for (employees.first(); !employees.eof(); employees.next())
        list.append({QString::number(employees.asInt(QStringLiteral("IDNo"))),
                     employees.asString(QStringLiteral("SName")),
                     deptNames.value(employees.asInt(QStringLiteral("Dept"))),
                     IsOperatorOnly(employees.asBool(QStringLiteral("IsOperator")),
                                    employees.asString(QStringLiteral("CardNo")))});
    employees.close();
    departments.close();
    return list;
}

namespace {

struct NameTotals {
    QList<TSlotTotals> slotTotals;
    QList<qint32> reasons;
};

QString CountCell(qint32 count) {
    return count == 0 ? QString() : QString::number(count);
}

QString DurationCell(double seconds) {
    return seconds == 0 ? QString() : DurationText(seconds);
}

} // namespace

QList<QStringList> ComputeStatistics(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons,
                                     const QList<StatEmployee>& employees, const QDate& first,
                                     const QDate& last, int days, const Progress& progress) {
    const int slotCount = int(slotTable.size());
    QHash<QByteArray, NameTotals> byName;
    for (const StatEmployee& e : employees)
        byName.insert(e.Name.toUtf8(), {QList<TSlotTotals>(slotCount), QList<qint32>(reasons.size())});

    if (first.isValid() && last.isValid() && first <= last) {
        const QVariantList period{DateText(first), DateText(last)};
        RowScan count(QStringLiteral("select count(*) from WorkList where DDate >= ? and DDate <= ?"),
                      period);
        const qint64 total = count.next() ? count.integer(0) : 0;
        QString columns = QStringLiteral("Name, LeaveType");
        for (int s = 0; s < slotCount; ++s)
            columns += QStringLiteral(", ") + SlotColumn(s);
        RowScan rows(QStringLiteral("select %1 from WorkList where DDate >= ? and DDate <= ?").arg(columns),
                     period);
        SlotTimes times;
        qint64 done = 0;
        while (rows.next()) {
            if (progress && ++done % 4096 == 0) progress(done, total);
            const QByteArrayView name = rows.text(0);
            const auto it = byName.find(QByteArray::fromRawData(name.data(), name.size()));
            if (it == byName.end()) continue;
            for (int s = 0; s < slotCount; ++s)
                times[s] = ParseStoredTime(rows.text(2 + s));
            EvaluateRow(slotTable, times, it->slotTotals);
            const qint64 leaveType = rows.integer(1);
            if (leaveType >= 1 && leaveType <= reasons.size()) ++it->reasons[int(leaveType) - 1];
        }
        if (progress) progress(total, total);
    }

    QList<QStringList> lines;
    for (const StatEmployee& e : employees) {
        const NameTotals& sums = byName[e.Name.toUtf8()];
        QStringList line{e.WorkNo, e.Name, e.DeptName};
        for (int s = 0; s < slotCount; ++s) {
            const TBaseInfo& info = slotTable.at(s);
            const TSlotTotals& t = sums.slotTotals.at(s);
            if (info.Marked) {
                if (s % 2 == 0)
                    line << CountCell(t.LateCount) << DurationCell(t.LateSeconds);
                else
                    line << CountCell(t.EarlyCount) << DurationCell(t.EarlySeconds);
            }
            if (info.Accumulate) line << DurationCell(t.WorkedSeconds);
        }
        for (qint32 c : sums.reasons)
            line << CountCell(c);
        line << QString::number(days);
        lines.append(line);
    }
    return lines;
}

QString AbsentDaysTitle() {
    return QStringLiteral("缺勤天数");
}

void AppendAbsentDays(QList<QStringList>& lines, const QList<StatEmployee>& employees,
                      const WorkCalendar& calendar, const QDate& first, const QDate& last, const QDate& today,
                      int reasonCount) {
    QSet<QString> names;
    for (const StatEmployee& e : employees)
        if (!e.OperatorOnly) names.insert(e.Name);
    const QHash<QString, int> absent = CountAbsentDays(names, calendar, first, last, today, reasonCount);
    for (int i = 0; i < lines.size() && i < employees.size(); ++i)
        lines[i] << (employees.at(i).OperatorOnly ? QString()
                                                  : CountCell(absent.value(employees.at(i).Name)));
}

QString StatPeriodLine(const QDate& first, const QDate& last) {
    return QStringLiteral("统计时间：从") + DateText(first) + QStringLiteral("到") + DateText(last);
}

XlsTable StatXlsTable(const QString& company, const QString& periodLine, const QStringList& columns,
                      const QList<CellKind>& kinds, const QList<QStringList>& lines) {
    XlsTable table;
    table.headerLines << QStringLiteral("《") + company + QStringLiteral("考勤统计表") +
                             QStringLiteral("      ") + periodLine + QStringLiteral("》");
    table.columns = columns;
    table.kinds = kinds;
    table.rows = lines;
    return table;
}

QString StatXlsFileName() {
    return DataFolder() + QStringLiteral("考勤统计表.XLS");
}

} // namespace kq
