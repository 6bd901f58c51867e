#include "gui/widgets/datasetmodel.h"

#include "core/data/dataset.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>

namespace kq {

DataSetModel::DataSetModel(DataSet* ds, QObject* parent) : QAbstractTableModel(parent), m_ds(ds) {
    connect(ds, &DataSet::dataChanged, this, &DataSetModel::refresh);
    connect(ds, &DataSet::stateChanged, this, &DataSetModel::refresh);
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section == m_ds->recNo() ? QStringLiteral("▶") : QString();
    return QAbstractTableModel::headerData(section, orientation, role);
}

void DataSetModel::refresh() {
    const int rows = m_ds->isOpen() ? m_ds->recordCount() : 0;
    if (rows != m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    } else if (rows > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        Q_EMIT headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
}

void FollowCurrentRow(QTableView* grid, DataSet* ds) {
    // The row header is the indicator column: as wide as its mark, whatever the rows.
    QHeaderView* rows = grid->verticalHeader();
    const int margin = rows->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, rows);
    rows->setFixedWidth(rows->fontMetrics().horizontalAdvance(QStringLiteral("▶")) + 2 * margin + 2);
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, ds,
                     [ds](const QModelIndex& current) {
                         if (current.isValid() && ds->isOpen() && current.row() != ds->recNo())
                             ds->moveTo(current.row());
                     });
    QObject::connect(ds, &DataSet::dataChanged, grid, [grid, ds] {
        if (ds->isOpen() && ds->recNo() >= 0 && grid->currentIndex().row() != ds->recNo())
            grid->selectRow(ds->recNo());
    });
}

} // namespace kq
