#include "core/shell/logon.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/tables.h"
#include "core/shell/operatorinfo.h"
#include "core/shell/rights.h"

namespace kq {

namespace {

const QString kEmployee = QStringLiteral("Employee.dat");
const QString kOperatorFields = QStringLiteral("SName;Password;IsOperator");

} // namespace

QStringList OperatorNames() {
    DataSet ds;
    ds.open(DataFile(kEmployee));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        if (ds.asBool(QStringLiteral("IsOperator"))) names << ds.asString(QStringLiteral("SName"));
    ds.close();
    return names;
}

bool SignIn(const QString& name, const QString& password) {
    DataSet ds;
    ds.open(DataFile(kEmployee));
    if (!ds.locate(kOperatorFields, {name, password, true})) return false;
    const int group = ds.asInt(QStringLiteral("Rigth"));
    ds.close();
    TOperatorInfo& op = CurOperator();
    // A failure while reading the group's functions leaves the record without rights.
    op.Rigth.clear();
    op.Rigth = RightsText(group);
    op.Name = name;
    op.IsLogon = true;
    return true;
}

PasswordChange ChangePassword(const QString& name, const QString& oldPassword, const QString& newPassword,
                              const QString& confirmation) {
    if (newPassword != confirmation) return PasswordChange::NotConfirmed;
    if (TooWide(QString(), newPassword, FieldWidth::Password)) return PasswordChange::TooLong;
    DataSet ds;
    ds.open(DataFile(kEmployee));
    PasswordChange result = PasswordChange::WrongPassword;
    ds.update([&] {
        if (!ds.locate(kOperatorFields, {name, oldPassword, true})) return;
        ds.edit();
        ds.setValue(QStringLiteral("Password"), newPassword);
        ds.post();
        result = PasswordChange::Changed;
    });
    ds.close();
    return result;
}

} // namespace kq
