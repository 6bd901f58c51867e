#include "gui/setup/numberedlistmodel.h"

#include "core/data/dataset.h"
#include "core/data/kqerror.h"

namespace kq {

NumberedListModel::NumberedListModel(DataSet* ds, const QString& numberField, const QString& nameField,
                                     const QString& nameTitle, QObject* parent)
    : DataSetModel(ds, parent), m_numberField(numberField), m_nameField(nameField), m_nameTitle(nameTitle) {}

int NumberedListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant NumberedListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || !dataSet()->isOpen()) return {};
    try {
        return dataSet()->valueAt(index.row(), index.column() == 0 ? m_numberField : m_nameField);
    } catch (const KqError&) {
        return {}; // a file that lacks the field; the commands on it report the error
    }
}

QVariant NumberedListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("序号") : m_nameTitle;
    return DataSetModel::headerData(section, orientation, role);
}

} // namespace kq
