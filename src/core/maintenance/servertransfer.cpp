#include "core/maintenance/servertransfer.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/serverdatabase.h"
#include "core/reports/rowscan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace kq {

namespace {

const QString kWorkList = QStringLiteral("WorkList.db");
const QString kInform = QStringLiteral("Inform.db");

QString WithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

// The columns copied, in this order, with whether each holds whole numbers.
struct Table {
    QString name;
    QString file;
    QStringList columns;
    QList<bool> integer;
};

Table WorkListTable() {
    Table t{QStringLiteral("WorkList"),
            kWorkList,
            {QStringLiteral("ISn"), QStringLiteral("DDate"), QStringLiteral("Name")},
            {true, false, false}};
    for (int i = 0; i < kSlotCount; ++i) {
        t.columns << SlotColumn(i);
        t.integer << false;
    }
    t.columns << QStringLiteral("LeaveType") << QStringLiteral("Comment");
    t.integer << true << false;
    return t;
}

Table InformTable() {
    return {QStringLiteral("Inform"),
            kInform,
            {QStringLiteral("rowid"), QStringLiteral("WDate"), QStringLiteral("Inform")},
            {true, false, false}};
}

// The tables beside the records, in WorkList.db.
Table CalendarTable() {
    return {QStringLiteral("WorkCalendar"),
            kWorkList,
            {QStringLiteral("DDate"), QStringLiteral("Kind"), QStringLiteral("DayName")},
            {false, true, false}};
}

Table AuditTable() {
    Table t{QStringLiteral("AuditLog"), kWorkList, {QStringLiteral("Seq")}, {true}};
    for (const char* column : {"EntryTime", "OperatorName", "Kind", "RecordKey", "OldValues", "NewValues",
                               "PrevHash", "EntryHash"}) {
        t.columns << QLatin1String(column);
        t.integer << false;
    }
    return t;
}

// One SQLite file, opened through the library itself for bulk reading or writing.
class SqliteFile {
public:
    SqliteFile(const QString& path, bool write) : m_path(path) {
        sqlite3* db = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                       write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
        m_db = db;
        if (rc != SQLITE_OK) fail();
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~SqliteFile() {
        sqlite3_finalize(m_stmt);
        sqlite3_close(m_db);
    }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void exec(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
    }
    void prepare(const QString& sql) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
            fail();
    }
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        sqlite3_reset(m_stmt);
        return false;
    }
    bool isNull(int c) const { return sqlite3_column_type(m_stmt, c) == SQLITE_NULL; }
    QByteArrayView text(int c) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
        return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, c)) : QByteArrayView();
    }
    qint64 count(const QString& sql) {
        prepare(sql);
        const qint64 n = step() ? sqlite3_column_int64(m_stmt, 0) : 0;
        sqlite3_reset(m_stmt);
        return n;
    }
    bool hasTable(const QString& table) {
        prepare(QStringLiteral("select count(*) from sqlite_schema where type = 'table' and name = '%1' "
                               "collate nocase")
                    .arg(table));
        const bool found = step() && sqlite3_column_int64(m_stmt, 0) > 0;
        sqlite3_reset(m_stmt);
        return found;
    }
    void bindNull(int i) { check(sqlite3_bind_null(m_stmt, i + 1)); }
    void bindInteger(int i, qint64 v) { check(sqlite3_bind_int64(m_stmt, i + 1, v)); }
    void bindText(int i, QByteArrayView v) {
        check(sqlite3_bind_text(m_stmt, i + 1, v.data() ? v.data() : "", int(v.size()), SQLITE_TRANSIENT));
    }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK) fail();
    }
    [[noreturn]] void fail() const {
        throw KqError(QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(m_path),
                                                   m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                                        : QStringLiteral("无法打开数据库")));
    }

    QString m_path;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// Copies one table from the server's snapshot into its file; returns the rows.
qint64 ExportTable(const Table& t, const QString& dir) {
    SqliteFile file(dir + t.file, true);
    file.exec("BEGIN");
    QStringList marks;
    for (int i = 0; i < t.columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString columns = t.columns.join(QStringLiteral(", "));
    file.prepare(
        QStringLiteral("insert into %1 (%2) values (%3)").arg(t.name, columns, marks.join(QLatin1Char(','))));
    RowScan rows(QStringLiteral("select %1 from %2 order by %3").arg(columns, t.name, t.columns.first()), {});
    qint64 n = 0;
    while (rows.next()) {
        for (int c = 0; c < t.columns.size(); ++c) {
            if (rows.isNull(c))
                file.bindNull(c);
            else if (t.integer.at(c))
                file.bindInteger(c, rows.integer(c));
            else
                file.bindText(c, rows.text(c));
        }
        file.step();
        ++n;
    }
    file.exec("COMMIT");
    return n;
}

// The file of folder for name (any letter case); empty when there is none.
QString Existing(const QString& dir, const QString& name) {
    const QString path = ResolveFileName(dir + name);
    return QFileInfo(path).isFile() ? path : QString();
}

// A value in COPY's text form.
void AppendCopyValue(QByteArray& out, QByteArrayView value) {
    for (const char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
}

// Copies one table's file into the server's (emptied) table; returns the rows.
qint64 ImportTable(ServerLink& link, const Table& t, const QString& path) {
    SqliteFile file(path, false);
    const QString columns = t.columns.join(QStringLiteral(", "));
    file.prepare(QStringLiteral("select %1 from %2 order by %3").arg(columns, t.name, t.columns.first()));
    link.command("DELETE FROM " + t.name.toUtf8());
    bool more = true;
    return link.copyIn("COPY " + t.name.toUtf8() + " (" + columns.toUtf8() + ") FROM STDIN",
                       [&](QByteArray& data) {
                           while (more && data.size() < 256 * 1024) {
                               more = file.step();
                               if (!more) break;
                               for (int c = 0; c < t.columns.size(); ++c) {
                                   if (c) data += '\t';
                                   if (file.isNull(c))
                                       data += "\\N";
                                   else
                                       AppendCopyValue(data, file.text(c));
                               }
                               data += '\n';
                           }
                           return !data.isEmpty();
                       });
}

qint64 ServerCount(ServerLink& link, const QString& table) {
    return link.value("SELECT count(*) FROM " + table.toUtf8()).toLongLong();
}

// The rows of table in a file, or -1 when the file (of a layout before the table) has none.
qint64 FileCount(const QString& path, const QString& table) {
    SqliteFile file(path, false);
    if (!file.hasTable(table)) return -1;
    return file.count(QStringLiteral("select count(*) from %1").arg(table));
}

} // namespace

QString DataCounts::text() const {
    return QStringLiteral("WorkList %1 行，Inform %2 行，WorkCalendar %3 行，AuditLog %4 行，%5 个数据文件")
        .arg(workList)
        .arg(inform)
        .arg(calendar)
        .arg(auditLog)
        .arg(documents);
}

DataCounts ExportServerData(const QString& folder) {
    const QString dir = WithSlash(folder);
    MakeDataFolder(dir);
    for (const QString& name : DatabaseFileNames() + DataSetFileNames())
        if (!Existing(dir, name).isEmpty())
            throw KqError(QStringLiteral("%1 中已有数据文件 %2").arg(QDir::toNativeSeparators(dir), name));
    CreateDatabaseFiles(dir);
    ServerLink link;
    // One snapshot for the tables and the documents, while stations go on punching.
    link.begin("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    DataCounts counts;
    counts.workList = ExportTable(WorkListTable(), dir);
    counts.inform = ExportTable(InformTable(), dir);
    counts.calendar = ExportTable(CalendarTable(), dir);
    counts.auditLog = ExportTable(AuditTable(), dir);
    RowScan documents(QStringLiteral("select Name, Body from DataDocument order by Name"), {});
    while (documents.next()) {
        const QString name = QString::fromUtf8(documents.text(0));
        if (!DataSetFileNames().contains(name)) continue;
        WriteDataFileBytes(dir + name, documents.text(1).toByteArray());
        ++counts.documents;
    }
    link.commit();
    return counts;
}

DataCounts ImportServerData(const QString& folder) {
    const QString dir = WithSlash(folder);
    const QString workList = Existing(dir, kWorkList);
    const QString inform = Existing(dir, kInform);
    const DataCounts expected = FolderCounts(dir);
    if (!workList.isEmpty()) {
        SqliteFile file(workList, false);
        file.prepare(
            QStringLiteral("select Name, DDate from WorkList where Name is not null and DDate is not null "
                           "group by Name, DDate having count(*) > 1 limit 1"));
        if (file.step())
            throw KqError(
                QStringLiteral("%1 中“%2”在 %3 有多条考勤记录，服务器上每人每天只保存一条，请先合并。")
                    .arg(QDir::toNativeSeparators(workList), QString::fromUtf8(file.text(0)),
                         QString::fromUtf8(file.text(1))));
    }
    ServerLink link;
    link.begin();
    // Stations wait for the whole replacement; readers keep their snapshot meanwhile.
    link.command("LOCK TABLE WorkList, Inform, DataDocument, WorkCalendar, AuditLog IN EXCLUSIVE MODE");
    DataCounts copied;
    if (!workList.isEmpty()) copied.workList = ImportTable(link, WorkListTable(), workList);
    // A file of a layout before the calendar or the log leaves the server's table as it was.
    if (expected.calendar >= 0) copied.calendar = ImportTable(link, CalendarTable(), workList);
    if (expected.auditLog >= 0) copied.auditLog = ImportTable(link, AuditTable(), workList);
    if (!inform.isEmpty()) copied.inform = ImportTable(link, InformTable(), inform);
    for (const QString& name : DataSetFileNames()) {
        const QString path = Existing(dir, name);
        if (path.isEmpty()) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw KqError(QStringLiteral("无法读取数据文件：%1（%2）")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
        link.command(
            "INSERT INTO DataDocument (Name, Version, Body) VALUES ($1, 1, $2) ON CONFLICT (Name) DO UPDATE "
            "SET Body = excluded.Body, Version = DataDocument.Version + 1",
            {name.toUtf8(), file.readAll()});
        ++copied.documents;
    }
    link.command("SELECT setval(pg_get_serial_sequence('worklist', 'isn'), coalesce((SELECT max(ISn) FROM "
                 "WorkList), 0) + 1, false)");
    link.command("SELECT setval(pg_get_serial_sequence('inform', 'rowid'), coalesce((SELECT max(rowid) FROM "
                 "Inform), 0) + 1, false)");
    // A table the folder does not hold stays as it was on the server.
    const DataCounts stored{ServerCount(link, QStringLiteral("WorkList")),
                            ServerCount(link, QStringLiteral("Inform")),
                            ServerCount(link, QStringLiteral("WorkCalendar")),
                            ServerCount(link, QStringLiteral("AuditLog")), copied.documents};
    DataCounts wanted = expected;
    if (workList.isEmpty()) wanted.workList = copied.workList = stored.workList;
    if (inform.isEmpty()) wanted.inform = copied.inform = stored.inform;
    if (expected.calendar < 0) wanted.calendar = copied.calendar = stored.calendar;
    if (expected.auditLog < 0) wanted.auditLog = copied.auditLog = stored.auditLog;
    if (copied != wanted || stored != wanted)
        throw KqError(QStringLiteral("复制到服务器的记录数不符（文件：%1；服务器：%2），已撤销。")
                          .arg(wanted.text(), stored.text()));
    link.commit();
    return stored;
}

DataCounts ServerCounts() {
    QSqlQuery q =
        ExecSql(QStringLiteral("select (select count(*) from WorkList), (select count(*) from Inform), "
                               "(select count(*) from WorkCalendar), (select count(*) from AuditLog), "
                               "(select count(*) from DataDocument)"));
    DataCounts counts;
    if (q.next())
        counts = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong(),
                  q.value(3).toLongLong(), q.value(4).toInt()};
    return counts;
}

DataCounts FolderCounts(const QString& folder) {
    const QString dir = WithSlash(folder);
    DataCounts counts{0, 0, -1, -1, 0};
    if (const QString path = Existing(dir, kWorkList); !path.isEmpty()) {
        counts.workList = SqliteFile(path, false).count(QStringLiteral("select count(*) from WorkList"));
        counts.calendar = FileCount(path, QStringLiteral("WorkCalendar"));
        counts.auditLog = FileCount(path, QStringLiteral("AuditLog"));
    }
    if (const QString path = Existing(dir, kInform); !path.isEmpty())
        counts.inform = SqliteFile(path, false).count(QStringLiteral("select count(*) from Inform"));
    for (const QString& name : DataSetFileNames())
        if (!Existing(dir, name).isEmpty()) ++counts.documents;
    return counts;
}

} // namespace kq
