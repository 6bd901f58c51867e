#include "data/tables.h"

namespace kq {

QList<FieldDef> EmployeeFields() {
    return {{QStringLiteral("SName"), FieldType::String, 15}, {QStringLiteral("IsOperator"), FieldType::Boolean},
            {QStringLiteral("Password"), FieldType::String, 10}, {QStringLiteral("Rigth"), FieldType::Integer},
            {QStringLiteral("IDNo"), FieldType::Integer},        {QStringLiteral("Dept"), FieldType::Integer},
            {QStringLiteral("CardNo"), FieldType::String, 45}};
}

QList<FieldDef> ShiftTimeFields() {
    return {{QStringLiteral("SerialNo"), FieldType::Integer},   {QStringLiteral("ShiftName"), FieldType::String, 30},
            {QStringLiteral("BeginTime"), FieldType::Time},     {QStringLiteral("EndTime"), FieldType::Time},
            {QStringLiteral("CheckBegin"), FieldType::Boolean}, {QStringLiteral("CheckEnd"), FieldType::Boolean},
            {QStringLiteral("IsCalculate"), FieldType::Boolean}};
}

} // namespace kq
