#include "core/setup/shiftrules.h"

#include "core/data/dataset.h"
#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"

#include <QRegularExpression>

namespace kq {

ShiftCheck CheckShiftPost(const QString& name, const QString& beginText, const QString& endText, bool adding,
                          int shiftCount) {
    if (GbkWidth(name) > 4) return {QStringLiteral("班时名称最好为2个字！"), ShiftField::Name};
    if (adding && shiftCount >= kMaxShifts) return {QStringLiteral("最大可设置10个班时！"), ShiftField::None};
    if (name.isEmpty()) return {QStringLiteral("班时名称不能为空！"), ShiftField::Name};
    if (endText.isEmpty()) return {QStringLiteral("结束时间不能为空！"), ShiftField::EndTime};
    if (beginText.isEmpty()) return {QStringLiteral("开始时间不能为空！"), ShiftField::BeginTime};
    return {};
}

QTime ParseTimeText(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return {};
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(), s);
}

QTime TimeFromText(const QString& text, const QString& caption) {
    const QTime t = ParseTimeText(text);
    if (!t.isValid())
        throw KqError(
            QStringLiteral("%1“%2”不是有效的时间，请按 时:分:秒 输入，例如 08:30:00。").arg(caption, text));
    return t;
}

void AppendShift(DataSet& ds) {
    ds.last();
    const int last = ds.isEmpty() ? 0 : ds.asInt(schema::ShiftTime::SerialNo);
    ds.append();
    ds.setValue(schema::ShiftTime::SerialNo, last + 1);
    ds.setValue(schema::ShiftTime::CheckBegin, false);
    ds.setValue(schema::ShiftTime::CheckEnd, false);
    ds.setValue(schema::ShiftTime::IsCalculate, false);
}

void RenumberShifts(DataSet& ds) {
    for (int row = 0; row < ds.recordCount(); ++row) {
        ds.moveTo(row);
        ds.edit();
        ds.setValue(schema::ShiftTime::SerialNo, row + 1);
        ds.post();
    }
}

void StoreShift(DataSet& ds, const ShiftValues& shift) {
    ds.setValue(schema::ShiftTime::ShiftName, shift.ShiftName);
    ds.setValue(schema::ShiftTime::BeginTime, shift.BeginTime);
    ds.setValue(schema::ShiftTime::EndTime, shift.EndTime);
    ds.setValue(schema::ShiftTime::CheckBegin, shift.CheckBegin);
    ds.setValue(schema::ShiftTime::CheckEnd, shift.CheckEnd);
    ds.setValue(schema::ShiftTime::IsCalculate, shift.IsCalculate);
    ds.setValue(schema::ShiftTime::LateGrace, shift.LateGrace);
    ds.setValue(schema::ShiftTime::EarlyGrace, shift.EarlyGrace);
    ds.post();
}

} // namespace kq
