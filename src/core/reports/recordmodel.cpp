#include "core/reports/recordmodel.h"

#include "core/data/database.h"
#include "core/data/kqerror.h"

#include <QSqlError>
#include <QSqlQuery>

namespace kq {

RecordModel::RecordModel(RecordColumns columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_titles(m_columns.titles()) {}

void RecordModel::setColumns(RecordColumns columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_titles = m_columns.titles();
    m_rows.clear();
    m_complete = true;
    endResetModel();
}

QList<QVariantList> RecordModel::readPage(const RecordFilter& filter,
                                          const QList<QVariantList>& loaded) const {
    RecordKey key;
    if (!loaded.isEmpty()) {
        const QVariantList& last = loaded.constLast();
        key = {last.at(FieldDate), last.at(FieldName), last.at(FieldISn).toLongLong()};
    }
    const SqlStatement st = RecordPageStatement(filter, loaded.isEmpty() ? nullptr : &key, kPageSize);
    ReviveKQDataBase();
    QSqlQuery q(KQDataBase());
    q.setForwardOnly(true);
    if (!q.prepare(st.sql)) throw KqError(q.lastError().text());
    for (const QVariant& v : st.values)
        q.addBindValue(v);
    if (!q.exec()) throw KqError(q.lastError().text());
    QList<QVariantList> page;
    const int fields = FieldISn + 1;
    page.reserve(kPageSize);
    while (q.next()) {
        QVariantList& row = page.emplaceBack();
        row.resize(fields);
        for (int f = 0; f < fields; ++f)
            row[f] = q.value(f);
    }
    if (q.lastError().isValid()) throw KqError(q.lastError().text());
    return page;
}

void RecordModel::open(const RecordFilter& filter) {
    QList<QVariantList> page = readPage(filter, {});
    beginResetModel();
    m_filter = filter;
    m_complete = page.size() < kPageSize;
    m_rows = std::move(page);
    endResetModel();
}

void RecordModel::reopen() {
    open(m_filter);
}

void RecordModel::fetchPage() {
    QList<QVariantList> page = readPage(m_filter, m_rows);
    m_complete = page.size() < kPageSize;
    if (page.isEmpty()) return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + page.size() - 1));
    m_rows << std::move(page);
    endInsertRows();
}

bool RecordModel::fetchTo(int row) {
    while (row >= m_rows.size() && !m_complete)
        fetchPage();
    return row >= 0 && row < m_rows.size();
}

bool RecordModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_complete;
}

void RecordModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    try {
        fetchPage();
    } catch (const KqError&) {
        // The view asks from its own events, where nobody can take the error; the rows stay
        // fetchable, so the next scroll to the end tries again.
    }
}

QVariant RecordModel::field(int row, int recordField) const {
    if (row < 0 || row >= m_rows.size() || recordField < 0 || recordField > FieldISn) return {};
    return m_rows.at(row).at(recordField);
}

int RecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
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
