#pragma once

#include "gui/widgets/datasetmodel.h"

namespace kq {

// The grid of a numbered name list: the number column and the name column.
class NumberedListModel : public DataSetModel {
    Q_OBJECT
public:
    NumberedListModel(DataSet* ds, const QString& numberField, const QString& nameField,
                      const QString& nameTitle, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString m_numberField;
    QString m_nameField;
    QString m_nameTitle;
};

} // namespace kq
