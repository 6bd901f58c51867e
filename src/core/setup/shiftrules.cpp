#include "setup/shiftrules.h"

#include "data/gbk.h"

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

} // namespace kq
