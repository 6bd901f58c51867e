#include "core/reports/recordcolumns.h"

#include "core/reports/records.h"

namespace kq {

RecordColumns::RecordColumns(QList<TBaseInfo> slotTable, QList<LeaveReason> reasons)
    : m_slots(std::move(slotTable)), m_reasons(std::move(reasons)) {}

RecordColumns RecordColumns::Load() {
    QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OnDuty);
    return RecordColumns(std::move(slotTable), ReadLeaveReasons());
}

QStringList RecordColumns::titles() const {
    QStringList t{QStringLiteral("日期"), QStringLiteral("星期"), QStringLiteral("姓名")};
    for (int s = 0; s < m_slots.size(); ++s)
        t << m_slots.at(s).ShiftName + (s % 2 == 0 ? QStringLiteral("上班") : QStringLiteral("下班"));
    t << QStringLiteral("未到原因") << QStringLiteral("备注");
    return t;
}

QList<CellKind> RecordColumns::kinds() const {
    QList<CellKind> k;
    for (int c = 0; c < count(); ++c)
        k << (c == 0 ? CellKind::Date : slotOf(c) >= 0 ? CellKind::Time : CellKind::Text);
    return k;
}

int RecordColumns::slotOf(int column) const {
    const int s = column - 3;
    return s >= 0 && s < m_slots.size() ? s : -1;
}

int RecordColumns::sourceField(int column) const {
    if (column <= 1) return FieldDate;
    if (column == 2) return FieldName;
    if (const int s = slotOf(column); s >= 0) return FieldT0 + s;
    return column == count() - 2 ? FieldLeaveType : FieldComment;
}

QString RecordColumns::text(int column, const QVariant& source) const {
    if (column == 1) return DayOfWeek(QDate::fromString(source.toString(), QStringLiteral("yyyy-MM-dd")));
    if (sourceField(column) == FieldLeaveType) return LeaveNameOf(m_reasons, source.toInt());
    return source.toString();
}

bool RecordColumns::isMarked(int column, const QVariant& source) const {
    const int s = slotOf(column);
    return s >= 0 && IsMarkedTime(m_slots.at(s), s, ParseStoredTime(source.toString()));
}

QStringList RecordColumns::rowTexts(const QVariantList& fields) const {
    QStringList cells;
    for (int c = 0; c < count(); ++c)
        cells << text(c, fields.value(sourceField(c)));
    return cells;
}

} // namespace kq
