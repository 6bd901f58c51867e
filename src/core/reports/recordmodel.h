#pragma once

#include "core/reports/recordcolumns.h"
#include "core/reports/records.h"

#include <QAbstractTableModel>
#include <QList>
#include <QVariantList>

namespace kq {

// The rows of the record grid, fetched a page at a time as the view scrolls, so a grid over the
// whole table opens at once. Each page is a short select that is read to its end and finished at
// once: no statement stays open between pages, so other connections and processes can write the
// table while the grid is shown. Shows the columns of RecordColumns; MarkedRole tells the red cells.
class RecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { MarkedRole = Qt::UserRole + 1 };
    static constexpr int kPageSize = 256;

    explicit RecordModel(RecordColumns columns = {}, QObject* parent = nullptr);

    const RecordColumns& columns() const { return m_columns; }
    // New columns (the model is reset and empty until the next open).
    void setColumns(RecordColumns columns);
    // Runs the record query of filter; throws KqError when it fails (the rows stay as they were).
    void open(const RecordFilter& filter);
    // Runs the current query again (after a change of the table).
    void reopen();
    const RecordFilter& filter() const { return m_filter; }
    // Fetches pages until row is loaded or the query ends; whether row exists. Throws KqError.
    bool fetchTo(int row);

    // A field of the query at row.
    QVariant field(int row, int recordField) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex& parent = QModelIndex()) override;

private:
    // The page of the filter after the loaded rows (from the first row when none is loaded).
    QList<QVariantList> readPage(const RecordFilter& filter, const QList<QVariantList>& loaded) const;
    void fetchPage();

    RecordColumns m_columns;
    QStringList m_titles;
    RecordFilter m_filter;
    QList<QVariantList> m_rows;
    bool m_complete = true;
};

} // namespace kq
