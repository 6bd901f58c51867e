#include "reports/recordmodel.h"

#include "data/database.h"
#include "data/kqerror.h"

#include <QSqlError>

namespace kq {

RecordModel::RecordModel(RecordColumns columns, QObject* parent)
    : QSqlQueryModel(parent), m_columns(std::move(columns)), m_titles(m_columns.titles()) {}

void RecordModel::setColumns(RecordColumns columns) {
    m_columns = std::move(columns);
    m_titles = m_columns.titles();
    clear();
}

void RecordModel::open(const RecordFilter& filter) {
    const SqlStatement st = RecordStatement(filter);
    QSqlQuery q(KQDataBase());
    if (!q.prepare(st.sql)) throw KqError(q.lastError().text());
    for (const QVariant& v : st.values)
        q.addBindValue(v);
    if (!q.exec()) throw KqError(q.lastError().text());
    m_filter = filter;
    setQuery(std::move(q));
    if (lastError().isValid()) throw KqError(lastError().text());
}

void RecordModel::reopen() {
    open(m_filter);
}

bool RecordModel::fetchTo(int row) {
    while (row >= rowCount() && canFetchMore())
        fetchMore();
    return row >= 0 && row < rowCount();
}

QVariant RecordModel::field(int row, int recordField) const {
    return QSqlQueryModel::data(createIndex(row, recordField));
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
    return QSqlQueryModel::headerData(section, orientation, role);
}

} // namespace kq
