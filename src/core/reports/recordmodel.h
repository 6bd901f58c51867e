#pragma once

#include "core/reports/recordcolumns.h"
#include "core/reports/records.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QVariantList>
#include <memory>

namespace kq {

class WorkListReader;

// The rows of the record grid. Opening a filter takes a read snapshot on a connection of the
// model's own and counts the rows in it, so every row is there at once (the scroll bar reaches
// the last one) and the grid and its export show the table as it stood at that moment until the
// next open, while punches and other connections go on writing. Rows are read a page at a time
// by key around the rows asked for, and only the pages used last are kept, so memory does not
// grow with the rows shown. Shows the columns of RecordColumns; MarkedRole tells the red cells.
class RecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { MarkedRole = Qt::UserRole + 1 };
    static constexpr int kPageSize = 256;
    static constexpr int kCachedPages = 16;

    explicit RecordModel(RecordColumns columns = {}, QObject* parent = nullptr);
    ~RecordModel() override;

    const RecordColumns& columns() const { return m_columns; }
    // New columns (the model is reset and empty until the next open).
    void setColumns(RecordColumns columns);
    // Takes a new snapshot and runs the record query of filter in it; throws KqError when it
    // fails (the rows stay as they were).
    void open(const RecordFilter& filter);
    // Runs the current query again on a new snapshot (after a change of the table).
    void reopen();
    const RecordFilter& filter() const { return m_filter; }
    // The snapshot the rows are read in; null before the first open.
    std::shared_ptr<WorkListReader> snapshot() const { return m_reader; }
    // Whether row exists.
    bool fetchTo(int row) const;

    // A field of the query at row (read when its page is not at hand; null when that fails).
    QVariant field(int row, int recordField) const;
    // Pages at hand, for the checks that memory stays bounded.
    int cachedPages() const { return int(m_pages.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Page {
        QList<QVariantList> rows;
        quint64 used = 0;
    };
    const QVariantList* row(int r) const;
    // Reads page p from the nearest place known: the first or last row, or a neighbouring page
    // at hand, whichever leaves the fewest rows to skip.
    Page readPage(int p) const;
    void keep(int p, Page page) const;

    RecordColumns m_columns;
    QStringList m_titles;
    RecordFilter m_filter;
    std::shared_ptr<WorkListReader> m_reader;
    int m_count = 0;
    mutable QHash<int, Page> m_pages;
    mutable quint64 m_clock = 0;
};

} // namespace kq
