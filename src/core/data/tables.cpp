#include "core/data/tables.h"

#include "core/data/gbk.h"

namespace kq {

std::optional<QString> TooWide(const QString& what, const QString& text, int width) {
    if (GbkWidth(text) <= width) return std::nullopt;
    return QStringLiteral("%1太长：最多 %2 个字节（一个汉字占 2 个字节）！").arg(what).arg(width);
}

QList<FieldDef> EmployeeFields() {
    return {{QStringLiteral("SName"), FieldType::String, FieldWidth::SName},
            {QStringLiteral("IsOperator"), FieldType::Boolean},
            {QStringLiteral("Password"), FieldType::String, FieldWidth::StoredPassword},
            {QStringLiteral("Rigth"), FieldType::Integer},
            {QStringLiteral("IDNo"), FieldType::Integer},
            {QStringLiteral("Dept"), FieldType::Integer},
            {QStringLiteral("CardNo"), FieldType::String, FieldWidth::CardNo}};
}

QList<FieldDef> ShiftTimeFields() {
    return {{QStringLiteral("SerialNo"), FieldType::Integer},
            {QStringLiteral("ShiftName"), FieldType::String, FieldWidth::ShiftName},
            {QStringLiteral("BeginTime"), FieldType::Time},
            {QStringLiteral("EndTime"), FieldType::Time},
            {QStringLiteral("CheckBegin"), FieldType::Boolean},
            {QStringLiteral("CheckEnd"), FieldType::Boolean},
            {QStringLiteral("IsCalculate"), FieldType::Boolean}};
}

QList<FieldDef> ShiftGraceFields() {
    return {{QStringLiteral("LateGrace"), FieldType::Integer},
            {QStringLiteral("EarlyGrace"), FieldType::Integer}};
}

} // namespace kq
