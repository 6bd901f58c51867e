#include "core/punch/punchrecorder.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/platform/platform.h"

#include <QFile>
#include <QHash>
#include <QSqlRecord>

namespace kq {

namespace {

// The cards of Employee.dat (case-folded card -> name of the first row holding it), built again
// only when the file's bytes change: reading the file is cheap, parsing every row at each swipe
// is not.
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
    if (bytes.isEmpty() || path != index.path || bytes != index.bytes) {
        DataSet employees;
        employees.open(path);
        QHash<QString, QString> names;
        for (employees.first(); !employees.eof(); employees.next()) {
            const QString key = employees.asString(QStringLiteral("CardNo")).toCaseFolded();
            if (!names.contains(key)) names.insert(key, employees.asString(QStringLiteral("SName")));
        }
        employees.close();
        index = CardIndex{path, bytes, names};
    }
    return index.names.value(card.toCaseFolded());
}

// A stored slot time; null, empty and 00:00:00 all read as no punch.
bool IsPunched(const QVariant& stored) {
    const QString text = stored.toString().trimmed();
    if (stored.isNull() || text.isEmpty()) return false;
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    if (!time.isValid()) throw KqError(QStringLiteral("“%1”不是有效的时间").arg(text));
    return time != QTime(0, 0);
}

// A punch reads and then writes. Its transaction takes the write lock of WorkList at the start,
// with a statement that writes nothing, so that a concurrent writer (an import through the
// command line) is waited for, where a lock taken by the first read could not be upgraded and
// would fail at once. BEGIN IMMEDIATE would lock the attached notice file as well and turn every
// punch into a two-file commit with twice the disk flushes.
class WriteTransaction {
public:
    WriteTransaction() {
        ExecSql(QStringLiteral("BEGIN"));
        try {
            ExecSql(QStringLiteral("delete from WorkList where 0"));
        } catch (const KqError&) {
            Rollback();
            throw;
        }
        m_open = true;
    }
    ~WriteTransaction() {
        if (m_open) Rollback();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit() {
        ExecSql(QStringLiteral("COMMIT"));
        m_open = false;
    }

private:
    static void Rollback() {
        if (IsKQDataBaseOpen()) QSqlQuery(KQDataBase()).exec(QStringLiteral("ROLLBACK"));
    }
    bool m_open = false;
};

// The slot of name's stored punch that lies less than seconds before now, or -1. A time stored
// under attendance date D was swiped on D-1, D or D+1: the calendar day that GetBrushDate maps
// to D for that slot.
int RecentSlot(const QString& name, const QList<TBrushInfo>& brushInfo, const QDateTime& now, int seconds) {
    QSqlQuery q = ExecSql(QStringLiteral("select * from WorkList where Name=? and DDate>=? and DDate<=?"),
                          {name, DateText(now.date().addDays(-2)), DateText(now.date().addDays(1))});
    const QSqlRecord record = q.record();
    const int dateColumn = record.indexOf(QStringLiteral("DDate"));
    int recent = -1;
    qint64 recentAge = seconds;
    while (q.next()) {
        const QDate stored = q.value(dateColumn).toDate();
        for (int s = 0; s < 2 * brushInfo.size(); ++s) {
            const QTime t = QTime::fromString(q.value(record.indexOf(SlotColumn(s))).toString().trimmed(),
                                              QStringLiteral("hh:mm:ss"));
            if (!t.isValid() || t == QTime(0, 0)) continue;
            for (int day = -1; day <= 1; ++day) {
                const QDateTime at(stored.addDays(day), t);
                if (GetBrushDate(brushInfo.at(s / 2), s, at) != stored) continue;
                const qint64 age = at.secsTo(now);
                if (age >= 0 && age < recentAge) {
                    recent = s;
                    recentAge = age;
                }
            }
        }
    }
    return recent;
}

} // namespace

PunchResult RecordPunch(const QString& card, const QList<TBrushInfo>& brushInfo, int slot,
                        const QDateTime& now, int doubleSwipeSeconds) {
    PunchResult result;
    const QString name = CardHolder(card);
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

    WriteTransaction transaction;
    if (doubleSwipeSeconds > 0) {
        const int earlier = RecentSlot(name, brushInfo, now, doubleSwipeSeconds);
        if (earlier >= 0) {
            result.outcome = PunchOutcome::AlreadyPunched;
            result.line =
                name + QLatin1Char(' ') + SlotLabels(brushInfo).at(earlier) + QStringLiteral("已刷过卡!");
            return result;
        }
    }
    QSqlQuery count =
        ExecSql(QStringLiteral("select COUNT(*) Cnt from WorkList where Name=? and DDate=?"), {name, date});
    const int cnt = count.next() ? count.value(0).toInt() : 0;
    count.finish();
    if (cnt != 0) {
        QSqlQuery row =
            ExecSql(QStringLiteral("select * from WorkList where Name=? and DDate=?"), {name, date});
        const bool punched = row.next() && IsPunched(row.value(row.record().indexOf(column)));
        row.finish();
        if (punched) {
            result.outcome = PunchOutcome::AlreadyPunched;
            result.line = name + QLatin1Char(' ') + label + QStringLiteral("已刷过卡!");
            return result;
        }
        ExecSql(QStringLiteral("update WorkList set %1=? where Name=? and DDate=?").arg(column),
                {time, name, date});
    } else {
        ExecSql(QStringLiteral("insert into WorkList (DDate, Name, %1) values (?,?,?)").arg(column),
                {date, name, time});
    }
    transaction.commit();

    result.outcome = PunchOutcome::Stored;
    result.beepKind = BeepConfirm;
    result.line = name + QLatin1Char(' ') + now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                  QLatin1Char(' ') + label;
    return result;
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
