#pragma once

#include "core/data/editcursor.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTime>
#include <QVariant>
#include <functional>

namespace kq {

struct Document;

enum class FieldType { String, Integer, Float, Boolean, Time, Date };

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int width = 0; // text fields: width in GBK bytes
};

// One dataset file (or an in-memory list): read whole on open. With the server as the engine,
// the data folder's dataset files are documents on the server (see documentstore.h): every
// station reads the same ones, and a write over another station's newer version throws
// ChangedElsewhere after reading that version. Field and file names are matched
// ignoring case. Storage failures throw KqError.
//
// Writers change a file through update(), which runs the change on the file's current content
// and writes the file whole at once, under the one lock of the folder's dataset files
// (DataSetLock): a change another process wrote since this dataset read the file is read first,
// never overwritten. A file whose fields hold passwords is written readable by its owner only.
//
// The file is a JSON document {"fields":[{"name","type","width"}...],"rows":[[v0,v1,...]...]};
// times are "hh:mm:ss", dates "yyyy-mm-dd", an empty value is null.
class DataSet : public QObject {
    Q_OBJECT
public:
    using State = EditCursor::State;
    // Whether the file was read again because another process had changed it, and whether that
    // dropped changes of this dataset that had not been written.
    enum class Reread { No, Yes, DroppingUnwritten };

    explicit DataSet(QObject* parent = nullptr);
    ~DataSet() override;

    // Reads fileName whole. indexField orders the rows ascending by that field (file order
    // otherwise); filter "Field=value" (the "ID=%d" form) hides every other row.
    void open(const QString& fileName, const QString& indexField = {}, const QString& filter = {});
    // A dataset without a file, kept ordered by indexField: a sorted list.
    void openInMemory(const QList<FieldDef>& fields, const QString& indexField = {});
    // Fields a newer version added to the file: while the file lacks one, the dataset holds it as
    // empty (null) in every row, also after reading the file again, and writes it with the next
    // change. Called after open(); the next open() forgets them.
    void addFields(const QList<FieldDef>& fields);
    // Drops an unposted edit and writes what was posted or deleted and not yet written (as
    // update() does); when that write fails or another process changed the file meanwhile, it
    // throws and the dataset stays open with its changes.
    void close();
    // Closes without writing: changes not yet written are dropped.
    void discard();

    // Reads the file again when another process changed it since this dataset read or wrote it;
    // the current row stays current when the file still holds it.
    Reread refresh();
    // Under the dataset lock: refresh(), then change (which edits, appends, posts or deletes
    // rows), then writes the file when anything changed. A change that throws is undone and
    // nothing is written. A failed write throws and keeps the change in memory (modified()),
    // to be written by the next update() or close(). An in-memory dataset just runs change.
    Reread update(const std::function<void()>& change);

    bool isOpen() const { return m_cursor.isOpen(); }
    State state() const { return m_cursor.state(); }
    bool isEditing() const { return m_cursor.isEditing(); }
    bool modified() const { return m_modified; }
    QString fileName() const { return m_fileName; }
    const QList<FieldDef>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const; // -1 when there is no such field
    // Lets the text field name hold width bytes when it holds fewer; written with the next change.
    void widenField(const QString& name, int width);

    // Navigation over the visible rows (filtered, in index order).
    int recordCount() const { return int(m_view.size()); }
    bool isEmpty() const { return m_view.isEmpty(); }
    int recNo() const { return m_cursor.row(); } // 0-based; -1 when empty
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    bool eof() const { return m_cursor.eof(); }
    bool bof() const { return m_cursor.bof(); }

    // Current row (the edit buffer while editing). Unknown field names throw KqError.
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const;
    int asInt(const QString& field) const;
    double asFloat(const QString& field) const;
    bool asBool(const QString& field) const;
    QTime asTime(const QString& field) const; // null reads as 00:00:00
    QVariant valueAt(int row, const QString& field) const;
    void setValue(const QString& field, const QVariant& value);

    // The stored values of the current row, in field order (empty when there is none).
    QVariantList currentRow() const;
    // Positions on the first visible row holding exactly values (as currentRow() gave them);
    // returns whether there is one. Finds a row again after the file was read again.
    bool locateRow(const QVariantList& values);

    // Positions on the first visible row whose fields ("A" or "A;B") equal values, text
    // compared ignoring case; returns whether one was found (the position is kept otherwise).
    bool locate(const QString& fields, const QVariantList& values);

    void append();
    void edit();
    void post();
    void cancel();
    void remove(); // deletes the current row; the next one becomes current
    void appendRecord(const QVariantList& valuesInFieldOrder);

    // Writes a whole dataset file under the dataset lock (test fixtures, generators).
    static void writeFile(const QString& fileName, const QList<FieldDef>& fields,
                          const QList<QVariantList>& rows);

Q_SIGNALS:
    void dataChanged();
    void stateChanged();

private:
    int requireField(const QString& name) const;
    QVariant normalized(int field, const QVariant& value) const;
    void load(const Document& doc); // fields, rows and the index and filter on them
    Reread rereadIfChanged();       // refresh() without the lock
    void rebuildView(int keepRow = -1);
    void setState(State s);
    void checkOpen() const;
    void write(); // under the lock, the file as last read or written

    QString m_fileName;
    QByteArray m_stamp; // of the document as last read or written (see documentstore.h)
    QString m_indexName;
    QString m_filterText;
    QList<FieldDef> m_fields;
    QList<FieldDef> m_addedFields;
    QList<QVariantList> m_rows; // every row, in file order
    QList<int> m_view;          // indices into m_rows of the visible rows, in index order
    int m_indexField = -1;
    int m_filterField = -1;
    QVariant m_filterValue;
    EditCursor m_cursor;
    bool m_modified = false;
    bool m_inMemory = false;
    QVariantList m_buffer;
};

// Whether a file with these fields holds passwords (and is kept readable by its owner only).
bool HoldsPasswords(const QList<FieldDef>& fields);

// Writes the bytes of a whole dataset file under the dataset lock, readable by its owner only
// when its fields hold passwords (first-run content).
void WriteDataFileBytes(const QString& fileName, const QByteArray& content);
// The same where no such file (or server document) exists yet; whether it wrote.
bool CreateDataFileBytes(const QString& fileName, const QByteArray& content);

} // namespace kq
