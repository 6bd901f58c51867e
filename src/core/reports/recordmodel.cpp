#include "core/reports/recordmodel.h"

#include "core/data/kqerror.h"
#include "core/reports/rowscan.h"

#include <QElapsedTimer>
#include <algorithm>
#include <limits>

namespace kq {

namespace {

constexpr int kFields = FieldISn + 1;
// Time given to the count at each turn of the event loop.
constexpr int kCountSliceMs = 8;

RecordKey KeyOf(const QVariantList& row) {
    return {row.at(FieldDate), row.at(FieldName), row.at(FieldISn).toLongLong()};
}

} // namespace

RecordModel::RecordModel(RecordColumns columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_titles(m_columns.titles()) {
    m_countTimer.setSingleShot(true);
    connect(&m_countTimer, &QTimer::timeout, this, [this] {
        try {
            count(kCountSliceMs);
        } catch (const KqError&) {
            // Nobody to tell from the event loop: the rows known stay, and fetchMore or fetchTo
            // tries the rest again where the error can be reported.
        }
    });
}

RecordModel::~RecordModel() = default;

void RecordModel::setColumns(RecordColumns columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_titles = m_columns.titles();
    m_reader.reset();
    m_pages.clear();
    m_count = 0;
    stopCounting();
    endResetModel();
}

void RecordModel::open(const RecordFilter& filter) {
    auto reader = std::make_shared<WorkListReader>();
    reader->holdSnapshot();
    // The first page tells whether there is more to count.
    const SqlStatement first = RecordPageStatement(filter, {}, kPageSize);
    RowScan scan(reader, first.sql, first.values);
    Page page;
    while (scan.next()) {
        QVariantList& r = page.rows.emplaceBack();
        r.reserve(kFields);
        for (int f = 0; f < kFields; ++f)
            r << scan.value(f);
    }
    beginResetModel();
    m_filter = filter;
    m_reader = std::move(reader);
    m_count = int(page.rows.size());
    m_pages.clear();
    stopCounting();
    if (m_count > 0) keep(0, std::move(page));
    if (m_count == kPageSize) {
        m_nextPiece = 0;
        m_countTimer.start(0);
    }
    endResetModel();
}

void RecordModel::reopen() {
    open(m_filter);
}

RecordModel::Page RecordModel::readPage(int p) const {
    const int first = p * kPageSize;
    const int size = std::min(kPageSize, m_count - first);
    // From the first row, from the last row backwards, or on from a page at hand either way.
    PageStart from{nullptr, false, first};
    int skip = first;
    const int fromEnd = m_count - (first + size);
    if (fromEnd < skip) {
        from = {nullptr, true, fromEnd};
        skip = fromEnd;
    }
    RecordKey key;
    int anchor = -1;
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
        const int q = it.key();
        const int gap = (q < p ? p - q - 1 : q - p - 1) * kPageSize;
        if (q != p && gap < skip) {
            skip = gap;
            anchor = q;
        }
    }
    if (anchor >= 0) {
        const Page& near = m_pages[anchor];
        key = KeyOf(anchor < p ? near.rows.constLast() : near.rows.constFirst());
        from = {&key, anchor > p, skip};
    }
    const SqlStatement st = RecordPageStatement(m_filter, from, size);
    RowScan scan(m_reader, st.sql, st.values);
    Page page;
    page.rows.reserve(size);
    while (scan.next()) {
        QVariantList& r = page.rows.emplaceBack();
        r.reserve(kFields);
        for (int f = 0; f < kFields; ++f)
            r << scan.value(f);
    }
    if (from.backwards) std::reverse(page.rows.begin(), page.rows.end());
    // The snapshot does not change, so a page comes out whole; anything else is a broken read.
    if (page.rows.size() != size) throw KqError(QStringLiteral("记录页读取不完整"));
    return page;
}

void RecordModel::keep(int p, Page page) const {
    if (m_pages.size() >= kCachedPages) {
        auto oldest = std::min_element(m_pages.begin(), m_pages.end(),
                                       [](const Page& a, const Page& b) { return a.used < b.used; });
        m_pages.erase(oldest);
    }
    page.used = ++m_clock;
    m_pages.insert(p, std::move(page));
}

const QVariantList* RecordModel::row(int r) const {
    if (r < 0 || r >= m_count || !m_reader) return nullptr;
    const int p = r / kPageSize;
    auto it = m_pages.find(p);
    if (it == m_pages.end()) {
        try {
            keep(p, readPage(p));
        } catch (const KqError&) {
            // Asked from the view's painting, where nobody can take the error: the cells stay
            // empty and the next paint tries again.
            return nullptr;
        }
        it = m_pages.find(p);
    } else {
        it->used = ++m_clock;
    }
    return &it->rows.at(r - p * kPageSize);
}

void RecordModel::count(int budgetMs) {
    if (!counting()) return;
    QElapsedTimer clock;
    clock.start();
    if (budgetMs < 0 && m_pieces.isEmpty()) {
        // Wanted at once before any piece ran: one statement, which SQLite answers without reading
        // the rows when nothing is filtered (30 ms at a million rows, where the pieces take 120).
        const SqlStatement all = RecordCountStatement(m_filter);
        RowScan scan(m_reader, all.sql, all.values);
        m_counted = scan.next() ? scan.integer(0) : 0;
    } else if (m_pieces.isEmpty()) {
        QDate from = m_filter.first;
        QDate to = m_filter.last;
        if (m_filter.wholeTable) {
            const SqlStatement range = DateRangeStatement();
            RowScan dates(m_reader, range.sql, range.values);
            if (dates.next()) {
                from = QDate::fromString(dates.value(0).toString(), Qt::ISODate);
                to = QDate::fromString(dates.value(1).toString(), Qt::ISODate);
            }
        }
        m_pieces = RecordCountPieces(m_filter, from, to);
    }
    while (m_nextPiece < m_pieces.size() && (budgetMs < 0 || !clock.hasExpired(budgetMs))) {
        const SqlStatement& piece = m_pieces.at(m_nextPiece);
        RowScan scan(m_reader, piece.sql, piece.values);
        m_counted += scan.next() ? scan.integer(0) : 0;
        ++m_nextPiece;
    }
    if (m_nextPiece < m_pieces.size()) {
        m_countTimer.start(0);
        return;
    }
    const int total = int(std::min<qint64>(m_counted, std::numeric_limits<int>::max()));
    stopCounting();
    // The snapshot holds the rows of the first page, so the count never comes out below them.
    if (total > m_count) {
        beginInsertRows(QModelIndex(), m_count, total - 1);
        m_count = total;
        endInsertRows();
    }
}

void RecordModel::stopCounting() {
    m_countTimer.stop();
    m_pieces.clear();
    m_nextPiece = -1;
    m_counted = 0;
}

bool RecordModel::fetchTo(int row) {
    if (row >= m_count) count(-1);
    return row >= 0 && row < m_count;
}

bool RecordModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && counting();
}

void RecordModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid()) return;
    try {
        count(-1);
    } catch (const KqError&) {
        // Asked by the view, where nobody can take the error: the rows known stay.
    }
}

QVariant RecordModel::field(int r, int recordField) const {
    if (recordField < 0 || recordField > FieldISn) return {};
    const QVariantList* values = row(r);
    return values ? values->at(recordField) : QVariant();
}

int RecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

int RecordModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns.count();
}

QVariant RecordModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= m_columns.count()) return {};
    if (role != Qt::DisplayRole && role != MarkedRole) return {};
    const QVariant source = field(index.row(), m_columns.sourceField(index.column()));
    if (role == MarkedRole) return m_columns.isMarked(index.column(), source);
    return m_columns.text(index.column(), source);
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_titles.size())
        return m_titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace kq
