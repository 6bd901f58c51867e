#include "gui/maintenance/informmodel.h"

#include "core/maintenance/informtable.h"
#include "gui/platform/guarded.h"

namespace kq {

InformModel::InformModel(InformTable* table, QObject* parent) : QAbstractTableModel(parent), m_table(table) {
    connect(m_table, &InformTable::rowsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int InformModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table->recordCount();
}

int InformModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant InformModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return m_table->dateAt(index.row());
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

QVariant InformModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section != 0) return {};
    if (role == Qt::DisplayRole) return QStringLiteral("公告日期");
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags InformModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool InformModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    if (value.toString() == m_table->dateAt(index.row())) return false; // left unchanged
    return Guarded([&] {
        m_table->moveTo(index.row());
        m_table->edit();
        m_table->setDate(value.toString());
    });
}

} // namespace kq
