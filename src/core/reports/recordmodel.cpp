#include "core/reports/recordmodel.h"

#include "core/data/kqerror.h"
#include "core/reports/rowscan.h"

#include <algorithm>

namespace kq {

namespace {

constexpr int kFields = FieldISn + 1;

RecordKey KeyOf(const QVariantList& row) {
    return {row.at(FieldDate), row.at(FieldName), row.at(FieldISn).toLongLong()};
}

} // namespace

RecordModel::RecordModel(RecordColumns columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_titles(m_columns.titles()) {}

RecordModel::~RecordModel() = default;

void RecordModel::setColumns(RecordColumns columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_titles = m_columns.titles();
    m_reader.reset();
    m_pages.clear();
    m_count = 0;
    endResetModel();
}

void RecordModel::open(const RecordFilter& filter) {
    auto reader = std::make_shared<WorkListReader>();
    reader->holdSnapshot();
    const SqlStatement count = RecordCountStatement(filter);
    RowScan counted(reader, count.sql, count.values);
    const int rows = counted.next() ? int(counted.integer(0)) : 0;
    beginResetModel();
    m_filter = filter;
    m_reader = std::move(reader);
    m_count = rows;
    m_pages.clear();
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

bool RecordModel::fetchTo(int row) const {
    return row >= 0 && row < m_count;
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
