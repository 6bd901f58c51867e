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
    return IsPunch(time);
}

} // namespace

PunchResult RecordPunch(const QString& card, const QList<TBrushInfo>& brushInfo, int slot,
                        const QDateTime& now) {
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

    // A punch reads and then writes: its transaction takes the write lock of WorkList at the start,
    // where a lock taken by the first read could not be upgraded and would fail at once. BEGIN
    // IMMEDIATE would lock the attached notice file as well and turn every punch into a two-file commit
    // with twice the disk flushes.
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
