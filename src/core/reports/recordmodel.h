#pragma once

#include "reports/recordcolumns.h"
#include "reports/records.h"

#include <QSqlQueryModel>

namespace kq {

// The rows of the record grid, fetched lazily as the view scrolls, so a grid over the whole
// table opens at once. Shows the columns of RecordColumns; MarkedRole tells the red cells.
class RecordModel : public QSqlQueryModel {
    Q_OBJECT
public:
    enum Role { MarkedRole = Qt::UserRole + 1 };

    explicit RecordModel(RecordColumns columns = {}, QObject* parent = nullptr);

    const RecordColumns& columns() const { return m_columns; }
    // New columns (the model is reset and empty until the next open).
    void setColumns(RecordColumns columns);
    // Runs the record query of filter; throws KqError when it fails.
    void open(const RecordFilter& filter);
    // Runs the current query again (after a change of the table).
    void reopen();
    const RecordFilter& filter() const { return m_filter; }
    // Fetches rows until row is loaded or the query ends; whether row exists.
    bool fetchTo(int row);

    // A field of the query at row.
    QVariant field(int row, int recordField) const;

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    RecordColumns m_columns;
    QStringList m_titles;
    RecordFilter m_filter;
};

} // namespace kq
