#include "core/data/tables.h"

#include "core/data/gbk.h"
#include "core/data/schema.h"

namespace kq {

std::optional<QString> TooWide(const QString& what, const QString& text, int width) {
    if (GbkWidth(text) <= width) return std::nullopt;
    return QStringLiteral("%1太长：最多 %2 个字节（一个汉字占 2 个字节）！").arg(what).arg(width);
}

QList<FieldDef> EmployeeFields() {
    return {{schema::Employee::SName, FieldType::String, FieldWidth::SName},
            {schema::Employee::IsOperator, FieldType::Boolean},
            {schema::Employee::Password, FieldType::String, FieldWidth::StoredPassword},
            {schema::Employee::Rigth, FieldType::Integer},
            {schema::Employee::IDNo, FieldType::Integer},
            {schema::Employee::Dept, FieldType::Integer},
            {schema::Employee::CardNo, FieldType::String, FieldWidth::CardNo}};
}

QList<FieldDef> ShiftTimeFields() {
    return {{schema::ShiftTime::SerialNo, FieldType::Integer},
            {schema::ShiftTime::ShiftName, FieldType::String, FieldWidth::ShiftName},
            {schema::ShiftTime::BeginTime, FieldType::Time},
            {schema::ShiftTime::EndTime, FieldType::Time},
            {schema::ShiftTime::CheckBegin, FieldType::Boolean},
            {schema::ShiftTime::CheckEnd, FieldType::Boolean},
            {schema::ShiftTime::IsCalculate, FieldType::Boolean}};
}

QList<FieldDef> ShiftGraceFields() {
    return {{schema::ShiftTime::LateGrace, FieldType::Integer},
            {schema::ShiftTime::EarlyGrace, FieldType::Integer}};
}

} // namespace kq
