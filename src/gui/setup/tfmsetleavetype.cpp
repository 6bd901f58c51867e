#include "gui/setup/tfmsetleavetype.h"

#include "core/data/schema.h"
#include "core/data/tables.h"

namespace kq {

TfmSetLeaveType::TfmSetLeaveType(QWidget* parent)
    : NumberedListWindow({QStringLiteral("设置未到原因名称"), schema::BlankReson::File,
                          schema::BlankReson::SerialNo, schema::BlankReson::Name, QStringLiteral("原因名称"),
                          QStringLiteral("输入未到原因名称"), QStringLiteral("名称"),
                          QStringLiteral("修改未到原因名称"), QStringLiteral("原因名称"),
                          QStringLiteral("原因名称"), FieldWidth::ReasonName},
                         parent) {
    setObjectName(QStringLiteral("fmSetLeaveType"));
}

} // namespace kq
