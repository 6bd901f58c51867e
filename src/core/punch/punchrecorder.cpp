#include "core/punch/punchrecorder.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/engine.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/platform/platform.h"
#include "core/reports/evaluation.h"

#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlRecord>
#include <array>
#include <optional>

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
            const QString key = employees.asString(schema::Employee::CardNo).toCaseFolded();
            if (!read.contains(key)) read.insert(key, employees.asString(schema::Employee::SName));
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
                  {schema::Employee::File, date, name, time, QString::fromLatin1(cardStamp)});
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

QSqlQuery Prepared(const QString& sql) {
    QSqlQuery q(KQDataBase());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) throw KqError(q.lastError().text());
    return q;
}

void Run(QSqlQuery& q, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec()) throw KqError(q.lastError().text());
}

// The rules of a swipe by a registered card, inside an open write transaction. The statements
// of each slot column are prepared once, for the run of swipes of a batch.
class Swiper {
public:
    Swiper(const QList<TBrushInfo>& brushInfo, int doubleSwipeSeconds)
        : m_brushInfo(brushInfo), m_labels(SlotLabels(brushInfo)), m_doubleSwipeSeconds(doubleSwipeSeconds) {}

    PunchResult swipe(const QString& name, int slot, const QDateTime& now) {
        if (std::optional<PunchResult> refused = refusal(name, slot)) return *refused;
        const QString date = DateText(GetBrushDate(m_brushInfo.at(slot / 2), slot, now));
        const QString time = TimeText(now.time());
        Statements& st = m_statements[slot];
        if (!st.select) {
            const QString column = SlotColumn(slot);
            st.select =
                Prepared(QStringLiteral("select %1 from WorkList where Name=? and DDate=?").arg(column));
            st.update =
                Prepared(QStringLiteral("update WorkList set %1=? where Name=? and DDate=?").arg(column));
            st.insert =
                Prepared(QStringLiteral("insert into WorkList (DDate, Name, %1) values (?,?,?)").arg(column));
        }
        Run(*st.select, {name, date});
        const bool hasRow = st.select->next();
        const QVariant stored = hasRow ? st.select->value(0) : QVariant();
        st.select->finish();
        if (hasRow && stored.toString().trimmed() == time)
            return punched(name, slot, PunchOutcome::Identical);
        if (std::optional<PunchResult> refused = doubleSwipe(name, now)) return *refused;
        if (hasRow && IsPunched(stored)) return punched(name, slot);
        if (hasRow)
            Run(*st.update, {time, name, date});
        else
            Run(*st.insert, {date, name, time});
        return this->stored(name, slot, now);
    }

    // The answer to a swipe without shifts, before anything is read; throws for a slot outside them.
    std::optional<PunchResult> refusal(const QString& name, int slot) const {
        if (m_brushInfo.isEmpty()) {
            PunchResult result;
            result.name = name;
            result.outcome = PunchOutcome::NoShift;
            result.line = name + QStringLiteral(" 未设置班时，刷卡无效！");
            return result;
        }
        if (slot < 0 || slot >= 2 * m_brushInfo.size())
            throw KqError(QStringLiteral("无效的班时位置：%1").arg(slot));
        return std::nullopt;
    }

    // The refusal of a double swipe when the check is on and name punched moments before now.
    std::optional<PunchResult> doubleSwipe(const QString& name, const QDateTime& now) {
        if (m_doubleSwipeSeconds <= 0) return std::nullopt;
        const int earlier = recentSlot(name, now);
        if (earlier < 0) return std::nullopt;
        return punched(name, earlier);
    }

    // A swipe refused because slot already holds a punch.
    PunchResult punched(const QString& name, int slot,
                        PunchOutcome outcome = PunchOutcome::AlreadyPunched) const {
        PunchResult result;
        result.name = name;
        result.outcome = outcome;
        result.label = m_labels.at(slot);
        result.line = name + QLatin1Char(' ') + result.label + QStringLiteral("已刷过卡!");
        return result;
    }

    PunchResult stored(const QString& name, int slot, const QDateTime& now) const {
        PunchResult result;
        result.name = name;
        result.outcome = PunchOutcome::Stored;
        result.beepKind = BeepConfirm;
        result.label = m_labels.at(slot);
        result.line = name + QLatin1Char(' ') + now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                      QLatin1Char(' ') + result.label;
        return result;
    }

private:
    // The slot of name's stored punch that lies less than m_doubleSwipeSeconds before now, or -1.
    // A time stored under attendance date D was swiped on D-1, D or D+1: the calendar day that
    // GetBrushDate maps to D for that slot. Ages are wall-clock seconds.
    int recentSlot(const QString& name, const QDateTime& now) {
        const int slotCount = 2 * int(m_brushInfo.size());
        if (!m_recent) {
            QStringList columns;
            for (int s = 0; s < slotCount; ++s)
                columns << SlotColumn(s);
            m_recent = Prepared(
                QStringLiteral("select DDate, %1 from WorkList where Name=? and DDate>=? and DDate<=?")
                    .arg(columns.join(QLatin1Char(','))));
        }
        Run(*m_recent, {name, DateText(now.date().addDays(-2)), DateText(now.date().addDays(1))});
        const qint64 nowDay = now.date().toJulianDay();
        const int nowSecond = now.time().msecsSinceStartOfDay() / 1000;
        int recent = -1;
        qint64 recentAge = m_doubleSwipeSeconds;
        while (m_recent->next()) {
            const QDate stored = m_recent->value(0).toDate();
            for (int s = 0; s < slotCount; ++s) {
                const QTime t = ParseStoredTime(m_recent->value(s + 1).toString().trimmed());
                if (!IsPunch(t)) continue;
                for (int day = -1; day <= 1; ++day) {
                    const qint64 age = (nowDay - stored.toJulianDay() - day) * 86400 + nowSecond -
                                       t.msecsSinceStartOfDay() / 1000;
                    if (age < 0 || age >= recentAge) continue;
                    if (GetBrushDate(m_brushInfo.at(s / 2), s, QDateTime(stored.addDays(day), t, Qt::UTC)) !=
                        stored)
                        continue;
                    recent = s;
                    recentAge = age;
                }
            }
        }
        m_recent->finish();
        return recent;
    }

    struct Statements {
        std::optional<QSqlQuery> select, update, insert;
    };
    std::optional<QSqlQuery> m_recent;
    const QList<TBrushInfo> m_brushInfo;
    const QStringList m_labels;
    const int m_doubleSwipeSeconds;
    std::array<Statements, kSlotCount> m_statements;
};

PunchResult Unregistered() {
    PunchResult result;
    result.line = QStringLiteral("**** 磁卡未注册或失效！");
    return result;
}

} // namespace

PunchResult RecordPunch(const QString& card, const QList<TBrushInfo>& brushInfo, int slot,
                        const QDateTime& now, int doubleSwipeSeconds) {
    const QString path = DataFile(schema::Employee::File);
    CardIndex& cards = Cards();
    // Files are looked at before every swipe; on the server the punch's own statement checks the
    // version, and an unknown card is looked up again in the newest one.
    if (!OnServer() || cards.path != path || cards.stamp.isEmpty()) cards.refresh(path);
    QString name = cards.holder(card);
    if (name.isEmpty() && OnServer()) {
        cards.refresh(path);
        name = cards.holder(card);
    }
    if (name.isEmpty()) return Unregistered();
    if (brushInfo.isEmpty()) return Swiper(brushInfo, 0).swipe(name, slot, now);
    Swiper swiper(brushInfo, doubleSwipeSeconds);
    if (OnServer()) {
        for (int attempt = 0;; ++attempt) {
            if (std::optional<PunchResult> refused = swiper.refusal(name, slot)) return *refused;
            if (std::optional<PunchResult> refused = swiper.doubleSwipe(name, now)) return *refused;
            const QString date = DateText(GetBrushDate(brushInfo.at(slot / 2), slot, now));
            const ServerWrite written =
                StoreOnServer(SlotColumn(slot), date, name, TimeText(now.time()), cards.stamp);
            if (written == ServerWrite::Stored) return swiper.stored(name, slot, now);
            if (written == ServerWrite::AlreadyPunched) return swiper.punched(name, slot);
            // Another station changed the employees since they were read here: nothing was
            // written; read them again and look the card up anew.
            if (attempt >= 3) throw KqError(QStringLiteral("员工数据正被频繁修改，请再刷一次"));
            cards.refresh(path);
            name = cards.holder(card);
            if (name.isEmpty()) return Unregistered();
        }
    }
    // In the SQLite files the row is looked up and then updated or inserted: the transaction takes
    // the write lock of WorkList at the start, where a lock taken by the first read could not be
    // upgraded and would fail at once. BEGIN IMMEDIATE would lock the attached notice file as well
    // and turn every punch into a two-file commit with twice the disk flushes.
    Transaction transaction(QStringLiteral("WorkList"));
    PunchResult result = swiper.swipe(name, slot, now);
    if (result.outcome == PunchOutcome::Identical) result.outcome = PunchOutcome::AlreadyPunched;
    if (result.stored()) transaction.commit();
    return result;
}

struct PunchBatch::Impl {
    Impl(const QList<TBrushInfo>& brushInfo, int doubleSwipeSeconds, int size)
        : swiper(brushInfo, doubleSwipeSeconds), batchSize(qMax(1, size)) {
        cards.refresh(DataFile(schema::Employee::File));
    }
    CardIndex cards;
    Swiper swiper;
    const int batchSize;
    std::optional<Transaction> transaction;
    int pending = 0;
};

PunchBatch::PunchBatch(const QList<TBrushInfo>& brushInfo, int doubleSwipeSeconds, int batchSize)
    : d(std::make_unique<Impl>(brushInfo, doubleSwipeSeconds, batchSize)) {}

PunchBatch::~PunchBatch() = default;

PunchResult PunchBatch::add(const QString& card, int slot, const QDateTime& now) {
    const QString name = d->cards.holder(card);
    if (name.isEmpty()) return Unregistered();
    if (!d->transaction) d->transaction.emplace(QStringLiteral("WorkList"));
    PunchResult result;
    try {
        result = d->swiper.swipe(name, slot, now);
    } catch (...) {
        d->transaction.reset(); // rolls back this batch
        d->pending = 0;
        throw;
    }
    if (result.stored() && ++d->pending >= d->batchSize) commit();
    return result;
}

void PunchBatch::commit() {
    if (!d->transaction) return;
    d->transaction->commit();
    d->transaction.reset();
    d->pending = 0;
}

PunchAnswer AnswerOf(const PunchResult& result, const QString& card, const QDateTime& now) {
    switch (result.outcome) {
    case PunchOutcome::Stored:
        return {result.name, now.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral("  ") + result.label,
                true};
    case PunchOutcome::UnknownCard:
        return {QStringLiteral("卡号 ") + card, QStringLiteral("磁卡未注册或失效！"), false};
    case PunchOutcome::AlreadyPunched:
    case PunchOutcome::Identical:
        return {result.name, result.label + QStringLiteral("已刷过卡!"), false};
    case PunchOutcome::NoShift:
        return {result.name, QStringLiteral("未设置班时，刷卡无效！"), false};
    }
    return {};
}

PunchAnswer FailureAnswer(const QString& message) {
    return {QStringLiteral("刷卡未记录"), message, false};
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
