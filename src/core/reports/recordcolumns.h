#pragma once

#include "core/reports/evaluation.h"
#include "core/reports/leavereasons.h"
#include "core/reports/tablewriter.h"

#include <QList>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace kq {

// The columns of the record grid: "日期", "星期", "姓名", one per slot (shift name and
// "上班"/"下班"), "未到原因", "备注". Each shows one field of the record query.
class RecordColumns {
public:
    RecordColumns() = default;
    RecordColumns(QList<TBaseInfo> slotTable, QList<LeaveReason> reasons);
    // The slot table (worked time on the on-duty slot) and the reasons of the data folder.
    static RecordColumns Load();

    int count() const { return int(m_slots.size()) + 5; }
    QStringList titles() const;
    // What each column holds for a spreadsheet: the date, the slots' times, text otherwise.
    QList<CellKind> kinds() const;
    int slotOf(int column) const; // -1 unless column shows a slot
    bool isDayOfWeek(int column) const { return column == 1; }
    int sourceField(int column) const;
    // A cell's text from the value of its source field; empty for a null value.
    QString text(int column, const QVariant& source) const;
    // A slot cell whose time is late or early by the slot's test.
    bool isMarked(int column, const QVariant& source) const;
    // Every cell of the query's current row.
    QStringList rowTexts(const QVariantList& fields) const;
    const QList<TBaseInfo>& slotTable() const { return m_slots; }

private:
    QList<TBaseInfo> m_slots;
    QList<LeaveReason> m_reasons;
};

} // namespace kq
