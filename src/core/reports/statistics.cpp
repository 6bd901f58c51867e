#include "core/reports/statistics.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/engine.h"
#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/reports/absence.h"
#include "core/reports/rowscan.h"
#include "core/reports/serverstatistics.h"

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
    departments.open(DataFile(schema::Department::File), schema::Department::ID);
    QHash<int, QString> deptNames;
    for (departments.first(); !departments.eof(); departments.next()) {
        const int id = departments.asInt(schema::Department::ID);
        if (!deptNames.contains(id)) deptNames.insert(id, departments.asString(schema::Department::DeptName));
    }
    DataSet employees;
    employees.open(DataFile(schema::Employee::File), schema::Employee::Dept);
    QList<StatEmployee> list;
    for (employees.first(); !employees.eof(); employees.next())
        list.append({QString::number(employees.asInt(schema::Employee::IDNo)),
                     employees.asString(schema::Employee::SName),
                     deptNames.value(employees.asInt(schema::Employee::Dept)),
                     IsOperatorOnly(employees.asBool(schema::Employee::IsOperator),
                                    employees.asString(schema::Employee::CardNo))});
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

using Totals = QHash<QByteArray, NameTotals>;

// Adds rows of Name, LeaveType and the slot columns to the totals of their names.
void AddRows(RowScan& rows, const QList<TBaseInfo>& slotTable, int reasons, Totals& byName,
             const std::function<void()>& onRow = {}) {
    SlotTimes times;
    while (rows.next()) {
        if (onRow) onRow();
        const QByteArrayView name = rows.text(0);
        const auto it = byName.find(QByteArray::fromRawData(name.data(), name.size()));
        if (it == byName.end()) continue;
        for (int s = 0; s < slotTable.size(); ++s)
            times[s] = ParseStoredTime(rows.text(2 + s));
        EvaluateRow(slotTable, times, it->slotTotals);
        const qint64 leaveType = rows.integer(1);
        if (leaveType >= 1 && leaveType <= reasons) ++it->reasons[int(leaveType) - 1];
    }
}

// Every row of the period through the program, in one pass of the date index.
void SumRows(const std::shared_ptr<WorkListReader>& reader, const QList<TBaseInfo>& slotTable,
             const QList<LeaveReason>& reasons, const QString& first, const QString& last, Totals& byName,
             const Progress& progress) {
    const QVariantList period{first, last};
    const qint64 total = [&] {
        RowScan count(reader, QStringLiteral("select count(*) from WorkList where DDate >= ? and DDate <= ?"),
                      period);
        return count.next() ? count.integer(0) : 0;
    }();
    QString columns = QStringLiteral("Name, LeaveType");
    for (int s = 0; s < slotTable.size(); ++s)
        columns += QStringLiteral(", ") + SlotColumn(s);
    RowScan rows(reader,
                 QStringLiteral("select %1 from WorkList where DDate >= ? and DDate <= ?").arg(columns),
                 period);
    qint64 done = 0;
    AddRows(rows, slotTable, int(reasons.size()), byName, [&] {
        if (progress && ++done % 4096 == 0) progress(done, total);
    });
    if (progress) progress(total, total);
}

// On the server: its sums per name (see serverstatistics.h), then the few rows it left out.
void SumOnServer(const std::shared_ptr<WorkListReader>& reader, const QList<TBaseInfo>& slotTable,
                 const QList<LeaveReason>& reasons, const QString& first, const QString& last, Totals& byName,
                 const Progress& progress) {
    if (progress) progress(0, 2);
    const SqlStatement sums = ServerTotalsStatement(slotTable, int(reasons.size()), first, last);
    RowScan rows(reader, sums.sql, sums.values);
    while (rows.next()) {
        const QByteArrayView name = rows.text(0);
        const auto it = byName.find(QByteArray::fromRawData(name.data(), name.size()));
        if (it == byName.end()) continue;
        int c = 1;
        for (int s = 0; s < slotTable.size(); ++s) {
            TSlotTotals& t = it->slotTotals[s];
            if (slotTable.at(s).Marked) {
                qint32& count = s % 2 == 0 ? t.LateCount : t.EarlyCount;
                double& seconds = s % 2 == 0 ? t.LateSeconds : t.EarlySeconds;
                count += qint32(rows.integer(c++));
                seconds += double(rows.integer(c++));
            }
            if (slotTable.at(s).Accumulate) t.WorkedSeconds += double(rows.integer(c++));
        }
        for (qint32& count : it->reasons)
            count += qint32(rows.integer(c++));
    }
    if (progress) progress(1, 2);
    const SqlStatement left = LeftoverRowsStatement(slotTable, first, last);
    RowScan leftovers(reader, left.sql, left.values);
    AddRows(leftovers, slotTable, int(reasons.size()), byName);
    if (progress) progress(2, 2);
}

} // namespace

QList<QStringList> ComputeStatistics(const QList<TBaseInfo>& slotTable, const QList<LeaveReason>& reasons,
                                     const QList<StatEmployee>& employees, const QDate& first,
                                     const QDate& last, int days, const Progress& progress,
                                     std::shared_ptr<WorkListReader> reader) {
    const int slotCount = int(slotTable.size());
    QHash<QByteArray, NameTotals> byName;
    for (const StatEmployee& e : employees)
        byName.insert(e.Name.toUtf8(), {QList<TSlotTotals>(slotCount), QList<qint32>(reasons.size())});

    if (first.isValid() && last.isValid() && first <= last) {
        // One reader for the whole pass, so that it may run on another thread.
        if (!reader) reader = std::make_shared<WorkListReader>();
        if (OnServer())
            SumOnServer(reader, slotTable, reasons, DateText(first), DateText(last), byName, progress);
        else
            SumRows(reader, slotTable, reasons, DateText(first), DateText(last), byName, progress);
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
                      int reasonCount, std::shared_ptr<WorkListReader> reader) {
    QSet<QString> names;
    for (const StatEmployee& e : employees)
        if (!e.OperatorOnly) names.insert(e.Name);
    const QHash<QString, int> absent =
        CountAbsentDays(names, calendar, first, last, today, reasonCount, std::move(reader));
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
