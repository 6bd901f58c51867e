#include "core/reports/evaluation.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/data/tables.h"

namespace kq {

QList<TBaseInfo> BuildSlotTable(AccumulateOn side) {
    DataSet ds;
    ds.open(DataFile(schema::ShiftTime::File), schema::ShiftTime::SerialNo);
    ds.addFields(ShiftGraceFields());
    QList<TBaseInfo> slotTable;
    for (ds.first(); !ds.eof(); ds.next()) {
        const QString name = ds.asString(schema::ShiftTime::ShiftName);
        const QTime begin = ds.asTime(schema::ShiftTime::BeginTime);
        const QTime end = ds.asTime(schema::ShiftTime::EndTime);
        const bool calculate = ds.asBool(schema::ShiftTime::IsCalculate);
        const bool overnight = end < begin;
        const auto grace = [&](const QString& field) { return qMax(0, ds.asInt(field)) * 60; };
        slotTable.append({name, begin, end, ds.asBool(schema::ShiftTime::CheckBegin),
                          side == AccumulateOn::OnDuty && calculate, overnight,
                          grace(schema::ShiftTime::LateGrace)});
        slotTable.append({name, end, begin, ds.asBool(schema::ShiftTime::CheckEnd),
                          side == AccumulateOn::OffDuty && calculate, overnight,
                          grace(schema::ShiftTime::EarlyGrace)});
    }
    ds.close();
    return slotTable;
}

bool IsLate(bool overnight, const QTime& time, const QTime& beginTime, const QTime& endTime) {
    if (!IsPunch(time)) return false;
    if (!overnight) return beginTime < time && time <= endTime;
    return time > beginTime || time < endTime;
}

bool IsEarly(bool overnight, const QTime& time, const QTime& beginTime, const QTime& endTime) {
    if (!IsPunch(time)) return false;
    if (!overnight) return beginTime <= time && time < endTime;
    return time > beginTime || time < endTime;
}

namespace {

// Late at an on-duty slot or early at an off-duty slot, beyond the slot's grace. A late punch
// lies forward of the shift's begin, an early one before its end, across midnight alike.
bool BeyondGrace(const TBaseInfo& info, int slot, const QTime& time) {
    if (slot % 2 == 0)
        return IsLate(info.Overnight, time, info.OwnTime, info.OtherTime) &&
               SecondsBetween(info.OwnTime, time) > info.GraceSeconds;
    return IsEarly(info.Overnight, time, info.OtherTime, info.OwnTime) &&
           SecondsBetween(time, info.OwnTime) > info.GraceSeconds;
}

} // namespace

bool IsMarkedTime(const TBaseInfo& info, int slot, const QTime& time) {
    return info.Marked && BeyondGrace(info, slot, time);
}

namespace {

int Code(QChar c) {
    return c.unicode();
}
int Code(char c) {
    return uchar(c);
}

// The stored form is exactly "hh:mm:ss"; it is read without the general parser, which is slow.
template <typename Text> QTime FixedTime(const Text& text) {
    if (text.size() != 8 || Code(text[2]) != ':' || Code(text[5]) != ':') return {};
    const auto digits = [&](int i) {
        const int a = Code(text[i]) - '0', b = Code(text[i + 1]) - '0';
        return a >= 0 && a <= 9 && b >= 0 && b <= 9 ? a * 10 + b : -1;
    };
    const int h = digits(0), m = digits(3), s = digits(6);
    return h >= 0 && m >= 0 && s >= 0 ? QTime(h, m, s) : QTime();
}

} // namespace

QTime ParseStoredTime(const QString& text) {
    if (const QTime t = FixedTime(text); t.isValid()) return t;
    if (text.isEmpty()) return {};
    for (const char* form : {"h:m:s", "h:m", "hh:mm:ss.zzz"}) {
        const QTime t = QTime::fromString(text, QLatin1String(form));
        if (t.isValid()) return t;
    }
    return {};
}

QTime ParseStoredTime(QByteArrayView utf8) {
    if (const QTime t = FixedTime(utf8); t.isValid()) return t;
    return utf8.isEmpty() ? QTime() : ParseStoredTime(QString::fromUtf8(utf8));
}

void EvaluateRow(const QList<TBaseInfo>& slotTable, const SlotTimes& times, QList<TSlotTotals>& totals) {
    for (int s = 0; s < slotTable.size(); ++s) {
        const TBaseInfo& info = slotTable.at(s);
        TSlotTotals& sum = totals[s];
        if (info.Accumulate) {
            const int on = s - s % 2;
            if (times[on].isValid() && times[on + 1].isValid())
                sum.WorkedSeconds += SecondsBetween(times[on], times[on + 1]);
        }
        if (!info.Marked) continue;
        const QTime t = times[s].isValid() ? times[s] : QTime(0, 0);
        if (!BeyondGrace(info, s, t)) continue;
        if (s % 2 == 0) {
            ++sum.LateCount;
            sum.LateSeconds += SecondsBetween(info.OwnTime, t);
        } else {
            ++sum.EarlyCount;
            sum.EarlySeconds += SecondsBetween(t, info.OwnTime);
        }
    }
}

QString DayOfWeek(const QDate& date) {
    static const char* const names[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    if (!date.isValid()) return {};
    return QString::fromUtf8(names[date.dayOfWeek() - 1]);
}

QStringList TotalsLines(const QList<TBaseInfo>& slotTable, const QList<TSlotTotals>& totals) {
    QStringList lines;
    for (int s = 0; s < slotTable.size(); ++s) {
        const TBaseInfo& info = slotTable.at(s);
        const TSlotTotals& sum = totals.at(s);
        const QString shortName = PadText(info.ShiftName, 4, QLatin1Char(' '));
        if (info.Marked) {
            if (s % 2 == 0)
                lines << shortName + QStringLiteral("迟到次数：") + QString::number(sum.LateCount) +
                             QStringLiteral("    累计时间：") + DurationText(sum.LateSeconds);
            else
                lines << shortName + QStringLiteral("早退次数：") + QString::number(sum.EarlyCount) +
                             QStringLiteral("    累计时间：") + DurationText(sum.EarlySeconds);
        }
        if (info.Accumulate)
            lines << info.ShiftName + QStringLiteral("累计时间：") + DurationText(sum.WorkedSeconds);
    }
    return lines;
}

} // namespace kq
