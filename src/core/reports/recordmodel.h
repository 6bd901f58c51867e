#pragma once

#include "core/reports/recordcolumns.h"
#include "core/reports/records.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QTimer>
#include <QVariantList>
#include <memory>

namespace kq {

class WorkListReader;

// The rows of the record grid. Opening a filter takes a read snapshot on a connection of the
// model's own, so that the grid and its export show the table as it stood at that moment until
// the next open, while punches and other connections go on writing. The first page is there at
// once; the rest are counted in the same snapshot a piece at a time from the event loop and then
// added in one step, so every row is reachable (the scroll bar reaches the last one) without the
// count holding up the first paint. Asking for a row beyond those known (fetchTo, fetchMore)
// finishes the count first. Rows are read a page at a time
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
    // Whether row exists; finishes the count first when row lies beyond the rows known.
    bool fetchTo(int row);
    // Whether the rows are still being counted.
    bool counting() const { return m_nextPiece >= 0; }

    // A field of the query at row (read when its page is not at hand; null when that fails).
    QVariant field(int row, int recordField) const;
    // Pages at hand, for the checks that memory stays bounded.
    int cachedPages() const { return int(m_pages.size()); }

    // Until the count is done there is more to fetch: fetchMore finishes it (as a view does
    // when it is scrolled to the bottom).
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
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
    // Counts pieces for about budgetMs (all of them when negative), then adds the rows counted
    // once the last piece is done. Throws KqError (the count stays where it was).
    void count(int budgetMs);
    void stopCounting();

    RecordColumns m_columns;
    QStringList m_titles;
    RecordFilter m_filter;
    std::shared_ptr<WorkListReader> m_reader;
    int m_count = 0;
    QList<SqlStatement> m_pieces; // of the count; built at its first step
    int m_nextPiece = -1;         // -1 once the count is done
    qint64 m_counted = 0;
    QTimer m_countTimer;
    mutable QHash<int, Page> m_pages;
    mutable quint64 m_clock = 0;
};

} // namespace kq
