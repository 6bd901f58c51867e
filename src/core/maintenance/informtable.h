#pragma once

#include "core/data/editcursor.h"

#include <QList>
#include <QObject>
#include <QString>

namespace kq {

// The whole notices table Inform (WDate, Inform) as the notice window edits it: every row in
// the table's own order, a current row, and an edit buffer that reaches the table only when
// posted. Storage failures throw KqError and leave the state as it was.
class InformTable : public QObject {
    Q_OBJECT
public:
    using State = EditCursor::State;

    using QObject::QObject;

    void open();  // reads every row; the first becomes current
    void close(); // drops an unposted edit

    bool isOpen() const { return m_cursor.isOpen(); }
    State state() const { return m_cursor.state(); }
    bool isEditing() const { return m_cursor.isEditing(); }
    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recNo() const { return m_cursor.row(); } // -1 when empty
    void moveTo(int row);

    // The current row, or the edit buffer while editing.
    QString date() const;
    QString text() const;
    QString dateAt(int row) const;
    // Set fields of the edit buffer; outside editing they throw KqError.
    void setDate(const QString& date);
    void setText(const QString& text);

    void append(); // a new empty row in the buffer
    void edit();   // the current row into the buffer; on an empty table the same as append
    // Writes the buffer. The date must be a valid day ("yyyy-mm-dd", single-digit month and
    // day accepted) and is stored as "yyyy-mm-dd".
    void post();
    void cancel();
    void remove(); // deletes the current row; the next one becomes current

Q_SIGNALS:
    void stateChanged();
    void rowsChanged();    // rows were read, added, changed or deleted
    void currentChanged(); // another row became current, or the current row's content changed
    void dateChanged();    // the date of the edit buffer was set

private:
    struct Row {
        qint64 id = -1; // the row's rowid
        QString date;
        QString text;
    };
    void setState(State s);
    void checkOpen() const;
    void checkEditing() const;

    QList<Row> m_rows;
    Row m_buffer;
    EditCursor m_cursor;
};

} // namespace kq
