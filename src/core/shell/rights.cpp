#include "core/shell/rights.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/kqerror.h"

namespace kq {

namespace {

const QString kFuncList = QStringLiteral("FuncList.dat");
const QString kId = QStringLiteral("ID");
const QString kName = QStringLiteral("Name");

QString GroupFilter(int group) {
    return QStringLiteral("ID=%1").arg(group);
}

QList<int> Functions(DataSet& ds) {
    QList<int> functions;
    for (ds.first(); !ds.eof(); ds.next())
        functions << ds.asInt(kName);
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
    ds.open(DataFile(QStringLiteral("RigthTable.dat")), QStringLiteral("SerialNo"));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(kName);
    ds.close();
    return names;
}

QList<int> GroupFunctions(int group) {
    DataSet ds;
    ds.open(DataFile(kFuncList), kId, GroupFilter(group));
    return Functions(ds);
}

void SetGroupFunctions(int group, const QList<int>& functions, const std::optional<QList<int>>& expected) {
    DataSet ds;
    ds.open(DataFile(kFuncList), kId, GroupFilter(group));
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
