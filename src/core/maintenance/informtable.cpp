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
    m_cur = m_rows.isEmpty() ? -1 : 0;
    setState(State::Browse);
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::close() {
    if (!isOpen()) return;
    m_rows.clear();
    m_cur = -1;
    setState(State::Inactive);
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::moveTo(int row) {
    checkOpen();
    if (isEditing() || row < 0 || row >= m_rows.size() || row == m_cur) return;
    m_cur = row;
    emit currentChanged();
}

QString InformTable::date() const {
    if (isEditing()) return m_buffer.date;
    return m_cur >= 0 ? m_rows.at(m_cur).date : QString();
}

QString InformTable::text() const {
    if (isEditing()) return m_buffer.text;
    return m_cur >= 0 ? m_rows.at(m_cur).text : QString();
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
    m_buffer = m_rows.at(m_cur);
    setState(State::Edit);
}

void InformTable::post() {
    checkEditing();
    const QDate day = QDate::fromString(m_buffer.date.trimmed(), QStringLiteral("yyyy-M-d"));
    if (!day.isValid()) throw KqError(QStringLiteral("“%1”不是有效的日期").arg(m_buffer.date));
    Row row = m_buffer;
    row.date = DateText(day);
    if (m_state == State::Insert) {
        QSqlQuery q =
            ExecSql(QStringLiteral("insert into Inform (WDate, Inform) values (?, ?) returning rowid"),
                    {row.date, row.text});
        if (!q.next()) throw KqError(QStringLiteral("公告未能保存"));
        row.id = q.value(0).toLongLong();
        m_rows.append(row);
        m_cur = int(m_rows.size()) - 1;
    } else {
        ExecSql(QStringLiteral("update Inform set WDate = ?, Inform = ? where rowid = ?"),
                {row.date, row.text, row.id});
        m_rows[m_cur] = row;
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
    if (m_cur < 0) throw KqError(QStringLiteral("没有可删除的公告"));
    ExecSql(QStringLiteral("delete from Inform where rowid = ?"), {m_rows.at(m_cur).id});
    m_rows.removeAt(m_cur);
    m_cur = qMin(m_cur, int(m_rows.size()) - 1);
    emit rowsChanged();
    emit currentChanged();
}

void InformTable::setState(State s) {
    if (m_state == s) return;
    m_state = s;
    emit stateChanged();
}

void InformTable::checkOpen() const {
    if (!isOpen()) throw KqError(QStringLiteral("公告表未打开"));
}

void InformTable::checkEditing() const {
    if (!isEditing()) throw KqError(QStringLiteral("公告表不在编辑状态"));
}

} // namespace kq
