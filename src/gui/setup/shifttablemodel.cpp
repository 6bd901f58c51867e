#include "gui/setup/shifttablemodel.h"

#include "core/data/dataset.h"
#include "core/data/schema.h"
#include "core/data/shared.h"

namespace kq {

namespace {
const QString kFields[] = {schema::ShiftTime::SerialNo,   schema::ShiftTime::ShiftName,
                           schema::ShiftTime::BeginTime,  schema::ShiftTime::EndTime,
                           schema::ShiftTime::CheckBegin, schema::ShiftTime::CheckEnd,
                           schema::ShiftTime::IsCalculate};
}

ShiftTableModel::ShiftTableModel(DataSet* shifts, QObject* parent)
    : QAbstractTableModel(parent), m_shifts(shifts) {
    const auto reset = [this] {
        beginResetModel();
        endResetModel();
    };
    connect(m_shifts, &DataSet::dataChanged, this, reset);
    connect(m_shifts, &DataSet::stateChanged, this, reset);
}

int ShiftTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_shifts->isOpen() ? 0 : m_shifts->recordCount();
}

int ShiftTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ShiftTableModel::CalcFields(bool flag) {
    return flag ? QStringLiteral("√") : QString();
}

QVariant ShiftTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    const QString& field = kFields[index.column()];
    if (m_shifts->fieldIndex(field) < 0) return {}; // a damaged file; the window reports it
    const QVariant v = m_shifts->valueAt(index.row(), field);
    switch (index.column()) {
    case SerialNo:
        return v.isNull() ? QVariant() : QVariant(v.toInt());
    case ShiftName:
        return v.toString();
    case BeginTime:
    case EndTime:
        return v.isNull() ? QString() : TimeText(v.toTime());
    default:
        return CalcFields(v.toBool());
    }
}

QVariant ShiftTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const QStringList titles = {QStringLiteral("序号"),     QStringLiteral("班时名称"),
                                       QStringLiteral("开始时间"), QStringLiteral("结束时间"),
                                       QStringLiteral("标记迟到"), QStringLiteral("标记早退"),
                                       QStringLiteral("累计时间")};
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}

} // namespace kq
