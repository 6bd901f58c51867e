#include "cli/punchimport.h"

#include "core/data/kqerror.h"
#include "core/data/syssetup.h"
#include "core/punch/brushinfo.h"
#include "core/punch/punchrecorder.h"
#include "core/punch/slotchoice.h"

#include <QFile>
#include <QStringView>

namespace kq::cli {

namespace {

// Digits of text from..from+count, or -1 when one is no digit.
int Digits(QStringView text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const int d = text.at(i).unicode() - '0';
        if (d < 0 || d > 9) return -1;
        value = value * 10 + d;
    }
    return value;
}

// "yyyy-mm-dd hh:nn:ss", read without the general parser, which is slow; invalid otherwise.
QDateTime SwipeTime(QStringView text) {
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u' ' ||
        text.at(13) != u':' || text.at(16) != u':')
        return {};
    const int parts[] = {Digits(text, 0, 4),  Digits(text, 5, 2),  Digits(text, 8, 2),
                         Digits(text, 11, 2), Digits(text, 14, 2), Digits(text, 17, 2)};
    for (int p : parts)
        if (p < 0) return {};
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time);
}

// The slot number of a line: whole decimal digits below the slot count; -1 otherwise.
int SlotNumber(QStringView text, int slotCount) {
    if (text.isEmpty() || text.size() > 2) return -1;
    const int slot = Digits(text, 0, int(text.size()));
    return slot < slotCount ? slot : -1;
}

} // namespace

int ImportPunches(const QString& fileName, Context& ctx) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw KqError(QStringLiteral("无法读取文件 %1：%2").arg(fileName, file.errorString()));
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);

    OpenData(ctx);
    const QList<TBrushInfo> brushInfo = ReadBrushInfo();
    const QList<TSlotTime> slotTable = BuildSlotTable(brushInfo);
    const QStringList labels = SlotLabels(brushInfo);
    const int slotCount = 2 * int(brushInfo.size());
    PunchBatch batch(brushInfo, ReadSysSetup().DoubleSwipeSeconds);

    int stored = 0, identical = 0, refused = 0, lineNo = 0;
    const auto refuse = [&](const QString& card, const QString& reason) {
        ++refused;
        ctx.err << "line " << lineNo << (card.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(card))
                << ": " << reason << '\n';
    };
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++lineNo;
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.trimmed().isEmpty()) continue;
        const QList<QStringView> fields = line.split(u'\t');
        const QString card = fields.at(0).trimmed().toString();
        const QDateTime at = fields.size() >= 2 ? SwipeTime(fields.at(1).trimmed()) : QDateTime();
        if (fields.size() > 3 || card.isEmpty() || !at.isValid()) {
            refuse(card, QStringLiteral("expected CARD<TAB>yyyy-mm-dd hh:nn:ss[<TAB>SLOT]"));
            continue;
        }
        int slot = -1;
        if (fields.size() == 3 && !fields.at(2).trimmed().isEmpty()) {
            slot = SlotNumber(fields.at(2).trimmed(), slotCount);
            if (slot < 0) {
                refuse(card, QStringLiteral("no slot %1: slots are 0 to %2")
                                 .arg(fields.at(2).trimmed().toString())
                                 .arg(slotCount - 1));
                continue;
            }
        } else if (slotCount > 0) {
            slot = AutoSelectSlot(brushInfo, slotTable, labels, at.time(), -1);
            if (slot < 0) {
                refuse(card, QStringLiteral("no shift slot is chosen automatically at %1")
                                 .arg(at.toString(QStringLiteral("hh:mm:ss"))));
                continue;
            }
        }
        const PunchResult result = batch.add(card, slot, at);
        if (result.stored())
            ++stored;
        else if (result.outcome == PunchOutcome::Identical)
            ++identical;
        else
            refuse(card, result.line);
    }
    batch.commit();
    ctx.err.flush();
    ctx.out << "stored " << stored << ", already stored " << identical << ", refused " << refused << '\n';
    return refused > 0 ? 1 : 0;
}

} // namespace kq::cli
