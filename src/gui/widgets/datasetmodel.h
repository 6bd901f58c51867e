#pragma once

#include <QAbstractTableModel>

class QTableView;

namespace kq {

class DataSet;

// Base of the grid models over an open dataset: one grid row per visible row, in the dataset's
// order, the current row marked in the row header. Subclasses give the columns and the cells.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(DataSet* ds, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    DataSet* dataSet() const { return m_ds; }

private:
    void refresh();

    DataSet* m_ds;
    int m_rows = 0;
};

// Keeps the grid's current row and the dataset's current row the same, both ways, and makes the
// row header an indicator column of fixed width. Call it after the grid got its model.
void FollowCurrentRow(QTableView* grid, DataSet* ds);

} // namespace kq
