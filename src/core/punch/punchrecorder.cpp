#include "core/punch/punchrecorder.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/platform/platform.h"

#include <QHash>
#include <QSqlRecord>

namespace kq {

namespace {

// The cards of Employee.dat (case-folded card -> name of the first row holding it), built again
// only when the file's stamp changes (see documentstore.h): reading the file or the server
// document's version is cheap, parsing every row at each swipe is not.
struct CardIndex {
    QString path;
    QByteArray stamp;
    QHash<QString, QString> names;

    // Reads the stamp and, when it moved, the file; the stamp is read first, so that it is never
    // newer than the names.
    void refresh(const QString& file) {
        const QByteArray now = DocumentStamp(file);
        if (!now.isEmpty() && file == path && now == stamp) return;
        DataSet employees;
        employees.open(file);
        QHash<QString, QString> read;
        for (employees.first(); !employees.eof(); employees.next()) {
            const QString key = employees.asString(QStringLiteral("CardNo")).toCaseFolded();
            if (!read.contains(key)) read.insert(key, employees.asString(QStringLiteral("SName")));
        }
        employees.close();
        *this = CardIndex{file, now, read};
    }
    // A card of an employee without a name counts as unregistered: its row would be removed with
    // the nameless rows at the next start of the main window, so a stored punch would be lost.
    QString holder(const QString& card) const {
        return card.trimmed().isEmpty() ? QString() : names.value(card.toCaseFolded());
    }
};

CardIndex& Cards() {
    static CardIndex index;
    return index;
}

// A stored slot time; null, empty and 00:00:00 all read as no punch.
bool IsPunched(const QVariant& stored) {
    const QString text = stored.toString().trimmed();
    if (stored.isNull() || text.isEmpty()) return false;
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    if (!time.isValid()) throw KqError(QStringLiteral("“%1”不是有效的时间").arg(text));
    return IsPunch(time);
}

// In the SQLite files: the row is looked up and then updated or inserted. A punch reads and then
// writes: its transaction takes the write lock of WorkList at the start, where a lock taken by the
// first read could not be upgraded and would fail at once. BEGIN IMMEDIATE would lock the attached
// notice file as well and turn every punch into a two-file commit with twice the disk flushes.
// Returns whether the time was stored.
bool StoreInFile(const QString& column, const QString& date, const QString& name, const QString& time) {
    Transaction transaction(QStringLiteral("WorkList"));
    QSqlQuery count =
        ExecSql(QStringLiteral("select COUNT(*) Cnt from WorkList where Name=? and DDate=?"), {name, date});
    const int cnt = count.next() ? count.value(0).toInt() : 0;
    count.finish();
    if (cnt != 0) {
        QSqlQuery row =
            ExecSql(QStringLiteral("select * from WorkList where Name=? and DDate=?"), {name, date});
        const bool punched = row.next() && IsPunched(row.value(row.record().indexOf(column)));
        row.finish();
        if (punched) return false;
        ExecSql(QStringLiteral("update WorkList set %1=? where Name=? and DDate=?").arg(column),
                {time, name, date});
    } else {
        ExecSql(QStringLiteral("insert into WorkList (DDate, Name, %1) values (?,?,?)").arg(column),
                {date, name, time});
    }
    transaction.commit();
    return true;
}

enum class ServerWrite { Stored, AlreadyPunched, CardsChanged };

// On the server one statement inserts the row or fills the slot, so that two stations swiping a
// card at once give one row and the first time in a slot wins: the unique key on (Name, DDate)
// turns the second insert into an update, and that update happens only while the slot holds no
// punch. The same statement checks that Employee.dat is still the version the card was looked up
// in (cardStamp), and writes nothing otherwise: one round trip per swipe. When nothing was
// written into a present row, the slot's time is read as on SQLite (an unreadable text throws).
ServerWrite StoreOnServer(const QString& column, const QString& date, const QString& name,
                          const QString& time, const QByteArray& cardStamp) {
    QSqlQuery& q =
        CachedSql(QStringLiteral("with current as (select Version from DataDocument where Name = ?), "
                                 "stored as (insert into WorkList (DDate, Name, %1) select ?, ?, ? "
                                 "from current where 'v' || Version = ? "
                                 "on conflict (Name, DDate) do update set %1 = excluded.%1 "
                                 "where coalesce(trim(WorkList.%1), '') in ('', '00:00:00') "
                                 "returning ISn) "
                                 "select 'v' || (select Version from current), (select ISn from stored)")
                      .arg(column),
                  {QStringLiteral("Employee.dat"), date, name, time, QString::fromLatin1(cardStamp)});
    const bool read = q.next();
    const QByteArray stamp = read ? q.value(0).toString().toLatin1() : QByteArray();
    const bool stored = read && !q.value(1).isNull();
    q.finish();
    if (stamp != cardStamp) return ServerWrite::CardsChanged;
    if (stored) return ServerWrite::Stored;
    QSqlQuery row =
        ExecSql(QStringLiteral("select %1 from WorkList where Name=? and DDate=?").arg(column), {name, date});
    if (row.next() && !IsPunched(row.value(0)))
        throw KqError(QStringLiteral("无法记录刷卡：%1 %2 的记录被同时修改，请再刷一次").arg(name, date));
    return ServerWrite::AlreadyPunched;
}

} // namespace

PunchResult RecordPunch(const QString& card, const QList<TBrushInfo>& brushInfo, int slot,
                        const QDateTime& now) {
    const QString path = DataFile(QStringLiteral("Employee.dat"));
    CardIndex& cards = Cards();
    // Files are looked at before every swipe; on the server the punch's own statement checks the
    // version, and an unknown card is looked up again in the newest one.
    if (!OnServer() || cards.path != path || cards.stamp.isEmpty()) cards.refresh(path);
    for (int attempt = 0;; ++attempt) {
        PunchResult result;
        QString name = cards.holder(card);
        if (name.isEmpty() && OnServer()) {
            cards.refresh(path);
            name = cards.holder(card);
        }
        if (name.isEmpty()) {
            result.line = QStringLiteral("**** 磁卡未注册或失效！");
            return result;
        }
        if (brushInfo.isEmpty()) {
            result.outcome = PunchOutcome::NoShift;
            result.line = name + QStringLiteral(" 未设置班时，刷卡无效！");
            return result;
        }
        if (slot < 0 || slot >= 2 * brushInfo.size())
            throw KqError(QStringLiteral("无效的班时位置：%1").arg(slot));

        const QString label = SlotLabels(brushInfo).at(slot);
        const QString column = SlotColumn(slot);
        const QString date = DateText(GetBrushDate(brushInfo.at(slot / 2), slot, now));
        const QString time = TimeText(now.time());
        bool stored = false;
        if (OnServer()) {
            const ServerWrite written = StoreOnServer(column, date, name, time, cards.stamp);
            if (written == ServerWrite::CardsChanged) {
                // Another station changed the employees since they were read here: nothing was
                // written; read them again and look the card up anew.
                if (attempt >= 3) throw KqError(QStringLiteral("员工数据正被频繁修改，请再刷一次"));
                cards.refresh(path);
                continue;
            }
            stored = written == ServerWrite::Stored;
        } else {
            stored = StoreInFile(column, date, name, time);
        }
        if (!stored) {
            result.outcome = PunchOutcome::AlreadyPunched;
            result.line = name + QLatin1Char(' ') + label + QStringLiteral("已刷过卡!");
            return result;
        }
        result.outcome = PunchOutcome::Stored;
        result.beepKind = BeepConfirm;
        result.line = name + QLatin1Char(' ') + now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                      QLatin1Char(' ') + label;
        return result;
    }
}

void BrushBeep(int kind, bool isBeep) {
    if (!isBeep) return;
    Speaker& speaker = *Services().speaker;
    if (kind == BeepConfirm) {
        speaker.beep(4000, 400);
        return;
    }
    for (int hz : {1000, 2000, 1000, 2000, 1000})
        speaker.beep(hz, 150);
}

} // namespace kq
