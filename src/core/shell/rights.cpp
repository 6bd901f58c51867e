#include "core/shell/rights.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"

namespace kq {

namespace {

QString GroupFilter(int group) {
    return QStringLiteral("%1=%2").arg(schema::FuncList::ID).arg(group);
}

QList<int> Functions(DataSet& ds) {
    QList<int> functions;
    for (ds.first(); !ds.eof(); ds.next())
        functions << ds.asInt(schema::FuncList::Name);
    return functions;
}

} // namespace

QStringList FunctionNames() {
    return {QStringLiteral("人员设置"), QStringLiteral("班时设置"), QStringLiteral("未到原因"),
            QStringLiteral("系统设置"), QStringLiteral("数据修改"), QStringLiteral("数据备份"),
            QStringLiteral("数据恢复"), QStringLiteral("考勤查询"), QStringLiteral("考勤统计"),
            QStringLiteral("编辑公告"), QStringLiteral("数据删除")};
}

QStringList RightsGroupNames() {
    DataSet ds;
    ds.open(DataFile(schema::RigthTable::File), schema::RigthTable::SerialNo);
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(schema::RigthTable::Name);
    ds.close();
    return names;
}

QList<int> GroupFunctions(int group) {
    DataSet ds;
    ds.open(DataFile(schema::FuncList::File), schema::FuncList::ID, GroupFilter(group));
    return Functions(ds);
}

void SetGroupFunctions(int group, const QList<int>& functions, const std::optional<QList<int>>& expected) {
    DataSet ds;
    ds.open(DataFile(schema::FuncList::File), schema::FuncList::ID, GroupFilter(group));
    ds.update([&] {
        if (expected && Functions(ds) != *expected)
            throw ChangedElsewhere(
                QStringLiteral("该组的操作权限已被其他程序修改，已重新读取，请重新设置。"));
        while (!ds.isEmpty()) {
            ds.first();
            ds.remove();
        }
        for (int function : functions)
            ds.appendRecord({group, function});
    });
    ds.close();
}

QString RightsText(int group) {
    QString text;
    for (int function : GroupFunctions(group))
        text += QString::number(function) + QLatin1Char(';');
    return text;
}

} // namespace kq
