#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTime>
#include <QVariant>

namespace kq {

enum class FieldType { String, Integer, Float, Boolean, Time, Date };

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int width = 0; // text fields: width in GBK bytes
};

// One dataset file (or an in-memory list): read whole on open, written whole on close when it
// holds changes. Field and file names are matched ignoring case. Storage failures throw KqError.
//
// The file is a JSON document {"fields":[{"name","type","width"}...],"rows":[[v0,v1,...]...]};
// times are "hh:mm:ss", dates "yyyy-mm-dd", an empty value is null.
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit DataSet(QObject* parent = nullptr);
    ~DataSet() override;

    // Reads fileName whole. indexField orders the rows ascending by that field (file order
    // otherwise); filter "Field=value" (the "ID=%d" form) hides every other row.
    void open(const QString& fileName, const QString& indexField = {}, const QString& filter = {});
    // A dataset without a file, kept ordered by indexField: a sorted list.
    void openInMemory(const QList<FieldDef>& fields, const QString& indexField = {});
    // Drops an unposted edit, then writes the file back if anything was posted or deleted.
    void close();
    // Writes posted changes now without closing; a no-op when nothing changed.
    void flush();

    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool modified() const { return m_modified; }
    QString fileName() const { return m_fileName; }
    const QList<FieldDef>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const; // -1 when there is no such field

    // Navigation over the visible rows (filtered, in index order).
    int recordCount() const { return int(m_view.size()); }
    bool isEmpty() const { return m_view.isEmpty(); }
    int recNo() const { return m_cur; } // 0-based; -1 when empty
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    // Current row (the edit buffer while editing). Unknown field names throw KqError.
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const;
    int asInt(const QString& field) const;
    double asFloat(const QString& field) const;
    bool asBool(const QString& field) const;
    QTime asTime(const QString& field) const; // null reads as 00:00:00
    QVariant valueAt(int row, const QString& field) const;
    void setValue(const QString& field, const QVariant& value);

    // Positions on the first visible row whose fields ("A" or "A;B") equal values, text
    // compared ignoring case; returns whether one was found (the position is kept otherwise).
    bool locate(const QString& fields, const QVariantList& values);

    void append();
    void edit();
    void post();
    void cancel();
    void remove(); // deletes the current row; the next one becomes current
    void appendRecord(const QVariantList& valuesInFieldOrder);

    // Writes a new dataset file (used for first-run content and test fixtures).
    static void writeFile(const QString& fileName, const QList<FieldDef>& fields,
                          const QList<QVariantList>& rows);

Q_SIGNALS:
    void dataChanged();
    void stateChanged();

private:
    int requireField(const QString& name) const;
    QVariant normalized(int field, const QVariant& value) const;
    void rebuildView(int keepRow = -1);
    void setState(State s);
    void checkOpen() const;
    void write();

    QString m_fileName;
    QList<FieldDef> m_fields;
    QList<QVariantList> m_rows; // every row, in file order
    QList<int> m_view;          // indices into m_rows of the visible rows, in index order
    int m_indexField = -1;
    int m_filterField = -1;
    QVariant m_filterValue;
    int m_cur = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_modified = false;
    bool m_inMemory = false;
    State m_state = State::Inactive;
    QVariantList m_buffer;
};

} // namespace kq
