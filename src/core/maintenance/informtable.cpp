#include "core/maintenance/informtable.h"

#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"

#include <QDate>

namespace kq {

void InformTable::open() {
    QSqlQuery q = ExecSql(QStringLiteral("select rowid, WDate, Inform from Inform order by rowid"));
    QList<Row> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()});
    m_rows = rows;
    m_cursor.first(int(m_rows.size()));
    setState(State::Browse);
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::close() {
    if (!isOpen()) return;
    m_rows.clear();
    m_cursor.reset(-1, 0);
    setState(State::Inactive);
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::moveTo(int row) {
    checkOpen();
    if (isEditing() || row < 0 || row >= m_rows.size() || row == m_cursor.row()) return;
    m_cursor.moveTo(row);
    emit currentChanged();
}

QString InformTable::date() const {
    if (isEditing()) return m_buffer.date;
    return m_cursor.row() >= 0 ? m_rows.at(m_cursor.row()).date : QString();
}

QString InformTable::text() const {
    if (isEditing()) return m_buffer.text;
    return m_cursor.row() >= 0 ? m_rows.at(m_cursor.row()).text : QString();
}

QString InformTable::dateAt(int row) const {
    return m_rows.value(row).date;
}

void InformTable::setDate(const QString& date) {
    checkEditing();
    m_buffer.date = date;
    emit dateChanged();
}

void InformTable::setText(const QString& text) {
    checkEditing();
    m_buffer.text = text;
}

void InformTable::append() {
    checkOpen();
    if (isEditing()) return;
    m_buffer = Row();
    setState(State::Insert);
}

void InformTable::edit() {
    checkOpen();
    if (isEditing()) return;
    if (m_rows.isEmpty()) {
        append();
        return;
    }
    m_buffer = m_rows.at(m_cursor.row());
    setState(State::Edit);
}

void InformTable::post() {
    checkEditing();
    const QDate day = QDate::fromString(m_buffer.date.trimmed(), QStringLiteral("yyyy-M-d"));
    if (!day.isValid()) throw KqError(QStringLiteral("“%1”不是有效的日期").arg(m_buffer.date));
    Row row = m_buffer;
    row.date = DateText(day);
    if (state() == State::Insert) {
        QSqlQuery q =
            ExecSql(QStringLiteral("insert into Inform (WDate, Inform) values (?, ?) returning rowid"),
                    {row.date, row.text});
        if (!q.next()) throw KqError(QStringLiteral("公告未能保存"));
        row.id = q.value(0).toLongLong();
        m_rows.append(row);
        m_cursor.last(int(m_rows.size()));
    } else {
        ExecSql(QStringLiteral("update Inform set WDate = ?, Inform = ? where rowid = ?"),
                {row.date, row.text, row.id});
        m_rows[m_cursor.row()] = row;
    }
    setState(State::Browse);
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::cancel() {
    if (!isEditing()) return;
    setState(State::Browse);
    emit currentChanged();
}

void InformTable::remove() {
    checkOpen();
    if (isEditing()) cancel();
    if (m_cursor.row() < 0) throw KqError(QStringLiteral("没有可删除的公告"));
    ExecSql(QStringLiteral("delete from Inform where rowid = ?"), {m_rows.at(m_cursor.row()).id});
    const int pos = m_cursor.row();
    m_rows.removeAt(pos);
    m_cursor.removed(pos, int(m_rows.size()));
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::setState(State s) {
    if (m_cursor.setState(s)) emit stateChanged();
}

void InformTable::checkOpen() const {
    if (!isOpen()) throw KqError(QStringLiteral("公告表未打开"));
}

void InformTable::checkEditing() const {
    if (!isEditing()) throw KqError(QStringLiteral("公告表不在编辑状态"));
}

} // namespace kq
