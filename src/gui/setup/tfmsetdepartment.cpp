#include "gui/setup/tfmsetdepartment.h"

#include "core/data/schema.h"
#include "core/data/tables.h"

namespace kq {

TfmSetDepartment::TfmSetDepartment(QWidget* parent)
    : NumberedListWindow({QStringLiteral("设置部门名称"), schema::Department::File, schema::Department::ID,
                          schema::Department::DeptName, QStringLiteral("部门名称"),
                          QStringLiteral("输入部门名称"), QStringLiteral("部门名称"),
                          QStringLiteral("修改部门名称"), QStringLiteral("部门名称"),
                          QStringLiteral("部门名称"), FieldWidth::DeptName},
                         parent) {
    setObjectName(QStringLiteral("fmSetDepartment"));
}

void EditDepartments(QWidget* parent) {
    TfmSetDepartment form(parent);
    form.exec();
}

} // namespace kq
