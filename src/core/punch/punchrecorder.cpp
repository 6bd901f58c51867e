#include "core/punch/punchrecorder.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
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

// The cards of Employee.dat: case-folded card -> name of the first row holding it.
QHash<QString, QString> ReadCardHolders(const QString& path) {
    DataSet employees;
    employees.open(path);
    QHash<QString, QString> names;
    for (employees.first(); !employees.eof(); employees.next()) {
        const QString key = employees.asString(QStringLiteral("CardNo")).toCaseFolded();
        if (!names.contains(key)) names.insert(key, employees.asString(QStringLiteral("SName")));
    }
    employees.close();
    return names;
}

// The card list as a punch station keeps it while it runs, built again only when the file's
// bytes change: reading the file is cheap, parsing every row at each swipe is not.
struct CardIndex {
    QString path;
    QByteArray bytes;
    QHash<QString, QString> names;
};

// A card of an employee without a name counts as unregistered: its row would be removed with the
// nameless rows at the next start of the main window, so a stored punch would be lost silently.
QString CardHolder(const QString& card) {
    if (card.trimmed().isEmpty()) return {};
    static CardIndex index;
    const QString path = DataFile(QStringLiteral("Employee.dat"));
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (bytes.isEmpty() || path != index.path || bytes != index.bytes)
        index = CardIndex{path, bytes, ReadCardHolders(path)};
    return index.names.value(card.toCaseFolded());
}

// A stored slot time; null, empty and 00:00:00 all read as no punch.
bool IsPunched(const QVariant& stored) {
    const QString text = stored.toString().trimmed();
    if (stored.isNull() || text.isEmpty()) return false;
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    if (!time.isValid()) throw KqError(QStringLiteral("“%1”不是有效的时间").arg(text));
    return IsPunch(time);
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
        PunchResult result;
        result.name = name;
        if (m_brushInfo.isEmpty()) {
            result.outcome = PunchOutcome::NoShift;
            result.line = name + QStringLiteral(" 未设置班时，刷卡无效！");
            return result;
        }
        if (slot < 0 || slot >= 2 * m_brushInfo.size())
            throw KqError(QStringLiteral("无效的班时位置：%1").arg(slot));

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
        const auto already = [&](PunchOutcome outcome, int punchedSlot) {
            result.outcome = outcome;
            result.label = m_labels.at(punchedSlot);
            result.line = name + QLatin1Char(' ') + result.label + QStringLiteral("已刷过卡!");
            return result;
        };
        if (hasRow && stored.toString().trimmed() == time) return already(PunchOutcome::Identical, slot);
        if (m_doubleSwipeSeconds > 0) {
            const int earlier = recentSlot(name, now);
            if (earlier >= 0) return already(PunchOutcome::AlreadyPunched, earlier);
        }
        if (hasRow && IsPunched(stored)) return already(PunchOutcome::AlreadyPunched, slot);
        if (hasRow)
            Run(*st.update, {time, name, date});
        else
            Run(*st.insert, {date, name, time});

        result.outcome = PunchOutcome::Stored;
        result.beepKind = BeepConfirm;
        result.label = m_labels.at(slot);
        result.line = name + QLatin1Char(' ') + now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                      QLatin1Char(' ') + m_labels.at(slot);
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
    const QString name = CardHolder(card);
    if (name.isEmpty()) return Unregistered();
    if (brushInfo.isEmpty()) return Swiper(brushInfo, 0).swipe(name, slot, now);
    // Takes the write lock of WorkList at the start: a punch reads and then writes.
    Transaction transaction(QStringLiteral("WorkList"));
    PunchResult result = Swiper(brushInfo, doubleSwipeSeconds).swipe(name, slot, now);
    if (result.outcome == PunchOutcome::Identical) result.outcome = PunchOutcome::AlreadyPunched;
    if (result.stored()) transaction.commit();
    return result;
}

struct PunchBatch::Impl {
    Impl(const QList<TBrushInfo>& brushInfo, int doubleSwipeSeconds, int size)
        : names(ReadCardHolders(DataFile(QStringLiteral("Employee.dat")))),
          swiper(brushInfo, doubleSwipeSeconds), batchSize(qMax(1, size)) {}
    QHash<QString, QString> names;
    Swiper swiper;
    const int batchSize;
    std::optional<Transaction> transaction;
    int pending = 0;
};

PunchBatch::PunchBatch(const QList<TBrushInfo>& brushInfo, int doubleSwipeSeconds, int batchSize)
    : d(std::make_unique<Impl>(brushInfo, doubleSwipeSeconds, batchSize)) {}

PunchBatch::~PunchBatch() = default;

PunchResult PunchBatch::add(const QString& card, int slot, const QDateTime& now) {
    const QString name = card.trimmed().isEmpty() ? QString() : d->names.value(card.toCaseFolded());
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
