#include "core/data/dataset.h"

#include "core/data/datafolder.h"
#include "core/data/documentstore.h"
#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace kq {

namespace {

const char* TypeName(FieldType t) {
    switch (t) {
    case FieldType::String:
        return "string";
    case FieldType::Integer:
        return "integer";
    case FieldType::Float:
        return "float";
    case FieldType::Boolean:
        return "boolean";
    case FieldType::Time:
        return "time";
    case FieldType::Date:
        return "date";
    }
    return "string";
}

bool TypeFromName(const QString& name, FieldType* t) {
    for (FieldType c : {FieldType::String, FieldType::Integer, FieldType::Float, FieldType::Boolean,
                        FieldType::Time, FieldType::Date}) {
        if (name.compare(QLatin1String(TypeName(c)), Qt::CaseInsensitive) == 0) {
            *t = c;
            return true;
        }
    }
    return false;
}

QTime ParseTime(const QString& s) {
    for (const char* f : {"hh:mm:ss", "h:m:s", "hh:mm:ss.zzz", "hh:mm", "h:m"}) {
        const QTime t = QTime::fromString(s.trimmed(), QLatin1String(f));
        if (t.isValid()) return t;
    }
    return {};
}

QJsonValue ToJson(FieldType type, const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QJsonValue::Null;
    switch (type) {
    case FieldType::String:
        return v.toString();
    case FieldType::Integer:
        return QJsonValue(v.toLongLong());
    case FieldType::Float:
        return v.toDouble();
    case FieldType::Boolean:
        return v.toBool();
    case FieldType::Time:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    }
    return QJsonValue::Null;
}

int CompareValues(FieldType type, const QVariant& a, const QVariant& b) {
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    switch (type) {
    case FieldType::String:
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    case FieldType::Integer:
    case FieldType::Boolean: {
        const qint64 x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Float: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Time: {
        const int x = a.toTime().msecsSinceStartOfDay(), y = b.toTime().msecsSinceStartOfDay();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Date: {
        const qint64 x = a.toDate().toJulianDay(), y = b.toDate().toJulianDay();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
    return 0;
}

KqError BadFile(const QString& path, const QString& why) {
    return KqError(QStringLiteral("数据文件格式错误：%1（%2）").arg(QDir::toNativeSeparators(path), why));
}

QList<FieldDef> ParseFields(const QJsonObject& root, const QString& path) {
    QList<FieldDef> fields;
    for (const QJsonValue& f : root.value(QLatin1String("fields")).toArray()) {
        const QJsonObject o = f.toObject();
        FieldDef def;
        def.name = o.value(QLatin1String("name")).toString();
        if (def.name.isEmpty() || !TypeFromName(o.value(QLatin1String("type")).toString(), &def.type))
            throw BadFile(path, QStringLiteral("字段定义无效"));
        def.width = o.value(QLatin1String("width")).toInt();
        fields.append(def);
    }
    if (fields.isEmpty()) throw BadFile(path, QStringLiteral("没有字段"));
    return fields;
}

QJsonObject ParseDocument(const QByteArray& content, const QString& path) {
    QJsonParseError perr;
    const QJsonDocument doc = QJsonDocument::fromJson(content, &perr);
    if (doc.isNull()) throw BadFile(path, perr.errorString());
    return doc.object();
}

QByteArray Serialize(const QList<FieldDef>& fields, const QList<QVariantList>& rows) {
    QJsonArray jf;
    for (const FieldDef& f : fields) {
        QJsonObject o;
        o.insert(QLatin1String("name"), f.name);
        o.insert(QLatin1String("type"), QLatin1String(TypeName(f.type)));
        if (f.width > 0) o.insert(QLatin1String("width"), f.width);
        jf.append(o);
    }
    QByteArray out =
        "{\n  \"fields\": " + QJsonDocument(jf).toJson(QJsonDocument::Compact) + ",\n  \"rows\": [";
    for (int r = 0; r < rows.size(); ++r) {
        QJsonArray jr;
        for (int i = 0; i < fields.size(); ++i)
            jr.append(ToJson(fields.at(i).type, i < rows.at(r).size() ? rows.at(r).at(i) : QVariant()));
        out += (r ? ",\n    " : "\n    ") + QJsonDocument(jr).toJson(QJsonDocument::Compact);
    }
    out += rows.isEmpty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace

bool HoldsPasswords(const QList<FieldDef>& fields) {
    return std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) {
        return f.name.compare(schema::Employee::Password, Qt::CaseInsensitive) == 0;
    });
}

void WriteDataFileBytes(const QString& fileName, const QByteArray& content) {
    const bool ownerOnly = HoldsPasswords(ParseFields(ParseDocument(content, fileName), fileName));
    const DocumentLock lock(fileName);
    WriteDocument(fileName, content, ownerOnly);
}

bool CreateDataFileBytes(const QString& fileName, const QByteArray& content) {
    const bool ownerOnly = HoldsPasswords(ParseFields(ParseDocument(content, fileName), fileName));
    const DocumentLock lock(fileName);
    return CreateDocument(fileName, content, ownerOnly);
}

DataSet::DataSet(QObject* parent) : QObject(parent) {}

DataSet::~DataSet() {
    // Listeners may be halfway through their own destruction: the last close tells nobody.
    blockSignals(true);
    try {
        close();
    } catch (const KqError&) {
        // A destructor must not throw; windows close explicitly, see the error and decide.
    }
}

void DataSet::open(const QString& fileName, const QString& indexField, const QString& filter) {
    if (isOpen()) close();
    const QString path = ResolveFileName(fileName);
    const Document doc = ReadDocument(path, fileName);
    m_fileName = path;
    m_inMemory = false;
    m_indexName = indexField;
    m_filterText = filter;
    m_addedFields.clear();
    load(doc);
    m_modified = false;
    m_cursor.setState(State::Browse);
    rebuildView(0);
    Q_EMIT stateChanged();
}

void DataSet::load(const Document& doc) {
    const QJsonObject root = ParseDocument(doc.content, m_fileName);
    const QList<FieldDef> previous = m_fields;
    m_fields = ParseFields(root, m_fileName);
    for (const FieldDef& added : m_addedFields)
        if (fieldIndex(added.name) < 0) m_fields.append(added);
    try {
        QList<QVariantList> rows;
        for (const QJsonValue& r : root.value(QLatin1String("rows")).toArray()) {
            const QJsonArray a = r.toArray();
            QVariantList row;
            for (int i = 0; i < m_fields.size(); ++i)
                row.append(normalized(i, i < a.size() ? a.at(i).toVariant() : QVariant()));
            rows.append(row);
        }
        const int indexField = m_indexName.isEmpty() ? -1 : requireField(m_indexName);
        int filterField = -1;
        QVariant filterValue;
        if (!m_filterText.isEmpty()) {
            const int eq = m_filterText.indexOf(QLatin1Char('='));
            if (eq <= 0) throw KqError(QStringLiteral("无效的过滤条件：%1").arg(m_filterText));
            filterField = requireField(m_filterText.left(eq).trimmed());
            filterValue = normalized(filterField, m_filterText.mid(eq + 1).trimmed());
        }
        m_rows = rows;
        m_indexField = indexField;
        m_filterField = filterField;
        m_filterValue = filterValue;
        m_stamp = doc.stamp;
    } catch (...) {
        m_fields = previous;
        throw;
    }
}

void DataSet::addFields(const QList<FieldDef>& fields) {
    checkOpen();
    for (const FieldDef& field : fields) {
        if (fieldIndex(field.name) >= 0) continue;
        m_addedFields.append(field);
        m_fields.append(field);
        for (QVariantList& row : m_rows)
            row.append(QVariant());
        if (isEditing()) m_buffer.append(QVariant());
    }
}

void DataSet::openInMemory(const QList<FieldDef>& fields, const QString& indexField) {
    if (isOpen()) close();
    m_fields = fields;
    m_addedFields.clear();
    m_rows.clear();
    m_fileName.clear();
    m_stamp.clear();
    m_inMemory = true;
    m_filterField = -1;
    m_indexName = indexField;
    m_filterText.clear();
    m_indexField = indexField.isEmpty() ? -1 : requireField(indexField);
    m_modified = false;
    m_cursor.setState(State::Browse);
    rebuildView(0);
    Q_EMIT stateChanged();
}

void DataSet::close() {
    if (!isOpen()) return;
    if (isEditing()) cancel();
    if (m_modified && !m_inMemory) {
        const DocumentLock lock(m_fileName);
        if (ReadChangedDocument(m_fileName, m_stamp))
            throw KqError(QStringLiteral("数据文件 %1 已被其他程序修改，本窗口未写入的修改无法保存。")
                              .arg(QFileInfo(m_fileName).fileName()));
        write();
    }
    discard();
}

void DataSet::discard() {
    if (!isOpen()) return;
    m_buffer.clear();
    m_cursor.setState(State::Inactive);
    m_modified = false;
    m_rows.clear();
    m_view.clear();
    m_cursor.reset(-1, 0);
    Q_EMIT stateChanged();
}

DataSet::Reread DataSet::refresh() {
    checkOpen();
    if (m_inMemory) return Reread::No;
    return rereadIfChanged();
}

DataSet::Reread DataSet::rereadIfChanged() {
    const std::optional<Document> changed = ReadChangedDocument(m_fileName, m_stamp);
    if (!changed) return Reread::No;
    const Reread reread = m_modified ? Reread::DroppingUnwritten : Reread::Yes;
    if (isEditing()) cancel();
    const QVariantList current = currentRow();
    load(*changed);
    m_modified = false;
    rebuildView(-1);
    if (!current.isEmpty()) locateRow(current);
    Q_EMIT dataChanged();
    return reread;
}

DataSet::Reread DataSet::update(const std::function<void()>& change) {
    checkOpen();
    if (isEditing()) cancel();
    if (m_inMemory) {
        change();
        return Reread::No;
    }
    const DocumentLock lock(m_fileName);
    const Reread reread = rereadIfChanged();
    const QList<FieldDef> fields = m_fields;
    const QList<QVariantList> rows = m_rows;
    const bool modified = m_modified;
    const QVariantList current = currentRow();
    try {
        change();
        if (isEditing()) post();
    } catch (...) {
        m_buffer.clear();
        m_fields = fields;
        m_rows = rows;
        m_modified = modified;
        m_cursor.setState(State::Browse);
        rebuildView(-1);
        if (!current.isEmpty()) locateRow(current);
        Q_EMIT stateChanged();
        Q_EMIT dataChanged();
        throw;
    }
    if (m_modified) {
        try {
            write();
        } catch (const ChangedElsewhere&) {
            // Another station wrote the document since it was read here: its version is read,
            // this change dropped, and the operator applies it again.
            rereadIfChanged();
            throw;
        }
    }
    return reread;
}

void DataSet::write() {
    const QByteArray content = Serialize(m_fields, m_rows);
    m_stamp = WriteDocument(m_fileName, content, HoldsPasswords(m_fields), m_stamp);
    m_modified = false;
}

void DataSet::writeFile(const QString& fileName, const QList<FieldDef>& fields,
                        const QList<QVariantList>& rows) {
    const DocumentLock lock(fileName);
    WriteDocument(fileName, Serialize(fields, rows), HoldsPasswords(fields));
}

int DataSet::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void DataSet::widenField(const QString& name, int width) {
    FieldDef& f = m_fields[requireField(name)];
    if (f.type == FieldType::String && f.width > 0 && f.width < width) f.width = width;
}

int DataSet::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) throw KqError(QStringLiteral("字段不存在：%1").arg(name));
    return i;
}

QVariant DataSet::normalized(int field, const QVariant& v) const {
    if (!v.isValid() || v.isNull()) return QVariant();
    const FieldDef& f = m_fields.at(field);
    switch (f.type) {
    case FieldType::String:
        return v.toString();
    case FieldType::Integer: {
        if (v.typeId() != QMetaType::QString) return QVariant(int(v.toDouble()));
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok) throw KqError(QStringLiteral("“%1”不是有效的整数").arg(v.toString()));
        return QVariant(n);
    }
    case FieldType::Float: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok) throw KqError(QStringLiteral("“%1”不是有效的数值").arg(v.toString()));
        return d;
    }
    case FieldType::Boolean:
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed().toLower();
            return s == QLatin1String("true") || s == QLatin1String("1") || s == QLatin1String("yes");
        }
        return v.toBool();
    case FieldType::Time: {
        if (v.typeId() == QMetaType::QTime) return v.toTime();
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().time();
        const QString s = v.toString();
        if (s.isEmpty()) return QVariant();
        const QTime t = ParseTime(s);
        if (!t.isValid()) throw KqError(QStringLiteral("“%1”不是有效的时间").arg(s));
        return t;
    }
    case FieldType::Date: {
        if (v.typeId() == QMetaType::QDate) return v.toDate();
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
        const QString s = v.toString();
        if (s.isEmpty()) return QVariant();
        const QDate d = QDate::fromString(s.trimmed(), QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid()) throw KqError(QStringLiteral("“%1”不是有效的日期").arg(s));
        return d;
    }
    }
    return v;
}

void DataSet::rebuildView(int keepRow) {
    m_view.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_filterField >= 0 && CompareValues(m_fields.at(m_filterField).type,
                                                m_rows.at(i).at(m_filterField), m_filterValue) != 0)
            continue;
        m_view.append(i);
    }
    if (m_indexField >= 0) {
        const FieldType t = m_fields.at(m_indexField).type;
        const int f = m_indexField;
        std::stable_sort(m_view.begin(), m_view.end(), [&](int a, int b) {
            return CompareValues(t, m_rows.at(a).at(f), m_rows.at(b).at(f)) < 0;
        });
    }
    int cur = -1;
    if (keepRow >= 0) cur = int(m_view.indexOf(keepRow));
    if (cur < 0 && !m_view.isEmpty()) cur = 0;
    m_cursor.reset(cur, int(m_view.size()));
}

void DataSet::setState(State s) {
    if (m_cursor.setState(s)) Q_EMIT stateChanged();
}

void DataSet::checkOpen() const {
    if (!isOpen()) throw KqError(QStringLiteral("数据集未打开"));
}

void DataSet::first() {
    checkOpen();
    if (isEditing()) post();
    m_cursor.first(int(m_view.size()));
    Q_EMIT dataChanged();
}

void DataSet::next() {
    checkOpen();
    if (isEditing()) post();
    m_cursor.next(int(m_view.size()));
    Q_EMIT dataChanged();
}

void DataSet::prior() {
    checkOpen();
    if (isEditing()) post();
    m_cursor.prior();
    Q_EMIT dataChanged();
}

void DataSet::last() {
    checkOpen();
    if (isEditing()) post();
    m_cursor.last(int(m_view.size()));
    Q_EMIT dataChanged();
}

void DataSet::moveTo(int row) {
    checkOpen();
    if (row < 0 || row >= m_view.size()) return;
    if (isEditing()) post();
    m_cursor.moveTo(row);
    Q_EMIT dataChanged();
}

QVariant DataSet::value(const QString& field) const {
    checkOpen();
    const int f = requireField(field);
    if (isEditing()) return m_buffer.at(f);
    if (m_cursor.row() < 0) return QVariant();
    return m_rows.at(m_view.at(m_cursor.row())).at(f);
}

QString DataSet::asString(const QString& field) const {
    const QVariant v = value(field);
    if (v.isNull()) return {};
    switch (m_fields.at(fieldIndex(field)).type) {
    case FieldType::Time:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

int DataSet::asInt(const QString& field) const {
    return value(field).toInt();
}
double DataSet::asFloat(const QString& field) const {
    return value(field).toDouble();
}
bool DataSet::asBool(const QString& field) const {
    return value(field).toBool();
}

QTime DataSet::asTime(const QString& field) const {
    const QVariant v = value(field);
    return v.isNull() ? QTime(0, 0, 0) : v.toTime();
}

QVariant DataSet::valueAt(int row, const QString& field) const {
    checkOpen();
    const int f = requireField(field);
    if (state() == State::Edit && row == m_cursor.row())
        return m_buffer.at(f); // an appended row is not in the view
    if (row < 0 || row >= m_view.size()) return QVariant();
    return m_rows.at(m_view.at(row)).at(f);
}

void DataSet::setValue(const QString& field, const QVariant& value) {
    checkOpen();
    if (!isEditing()) throw KqError(QStringLiteral("数据集不在编辑状态"));
    const int f = requireField(field);
    m_buffer[f] = normalized(f, value);
    Q_EMIT dataChanged();
}

QVariantList DataSet::currentRow() const {
    if (!isOpen() || m_cursor.row() < 0 || m_cursor.row() >= m_view.size()) return {};
    return m_rows.at(m_view.at(m_cursor.row()));
}

bool DataSet::locateRow(const QVariantList& values) {
    checkOpen();
    for (int r = 0; r < m_view.size(); ++r) {
        if (m_rows.at(m_view.at(r)) != values) continue;
        if (isEditing()) post();
        m_cursor.moveTo(r);
        Q_EMIT dataChanged();
        return true;
    }
    return false;
}

bool DataSet::locate(const QString& fields, const QVariantList& values) {
    checkOpen();
    QList<int> idx;
    for (const QString& name : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        idx.append(requireField(name.trimmed()));
    if (idx.size() != values.size()) throw KqError(QStringLiteral("查找条件的字段与值个数不符"));
    QVariantList wanted;
    for (int i = 0; i < idx.size(); ++i) {
        try {
            wanted.append(normalized(idx.at(i), values.at(i)));
        } catch (const KqError&) {
            return false; // a value that cannot be held by the field matches no row
        }
    }
    for (int r = 0; r < m_view.size(); ++r) {
        const QVariantList& row = m_rows.at(m_view.at(r));
        bool match = true;
        for (int i = 0; i < idx.size() && match; ++i)
            match = CompareValues(m_fields.at(idx.at(i)).type, row.at(idx.at(i)), wanted.at(i)) == 0;
        if (match) {
            if (isEditing()) post();
            m_cursor.moveTo(r);
            Q_EMIT dataChanged();
            return true;
        }
    }
    return false;
}

void DataSet::append() {
    checkOpen();
    if (isEditing()) post();
    m_buffer = QVariantList();
    for (int i = 0; i < m_fields.size(); ++i)
        m_buffer.append(QVariant());
    setState(State::Insert);
    Q_EMIT dataChanged();
}

void DataSet::edit() {
    checkOpen();
    if (isEditing()) return;
    if (m_cursor.row() < 0) {
        append();
        return;
    }
    m_buffer = m_rows.at(m_view.at(m_cursor.row()));
    setState(State::Edit);
    Q_EMIT dataChanged();
}

void DataSet::post() {
    checkOpen();
    if (!isEditing()) return;
    for (int i = 0; i < m_fields.size(); ++i) {
        const FieldDef& f = m_fields.at(i);
        if (f.type == FieldType::String && f.width > 0 && !m_buffer.at(i).isNull())
            m_buffer[i] = GbkCut(m_buffer.at(i).toString(), f.width);
    }
    int rowIndex;
    if (state() == State::Insert) {
        m_rows.append(m_buffer);
        rowIndex = int(m_rows.size()) - 1;
    } else {
        rowIndex = m_view.at(m_cursor.row());
        m_rows[rowIndex] = m_buffer;
    }
    m_buffer.clear();
    m_modified = true;
    rebuildView(rowIndex);
    if (!m_view.isEmpty()) m_cursor.moveTo(m_cursor.row());
    setState(State::Browse);
    Q_EMIT dataChanged();
}

void DataSet::cancel() {
    checkOpen();
    if (!isEditing()) return;
    m_buffer.clear();
    setState(State::Browse);
    Q_EMIT dataChanged();
}

void DataSet::remove() {
    checkOpen();
    if (state() == State::Insert) {
        cancel();
        return;
    }
    if (m_cursor.row() < 0) return;
    if (isEditing()) cancel();
    const int pos = m_cursor.row();
    m_rows.removeAt(m_view.at(pos));
    m_modified = true;
    rebuildView(-1);
    m_cursor.removed(pos, int(m_view.size()));
    Q_EMIT dataChanged();
}

void DataSet::appendRecord(const QVariantList& valuesInFieldOrder) {
    append();
    for (int i = 0; i < valuesInFieldOrder.size() && i < m_fields.size(); ++i)
        m_buffer[i] = normalized(i, valuesInFieldOrder.at(i));
    post();
}

} // namespace kq
