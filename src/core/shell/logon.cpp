#include "core/shell/logon.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/schema.h"
#include "core/data/tables.h"
#include "core/shell/operatorinfo.h"
#include "core/shell/password.h"
#include "core/shell/rights.h"

namespace kq {

namespace {

// Positions ds on the first operator named name (ignoring case) whose stored password typed
// verifies; returns whether there is one. Each candidate costs a hash verification.
bool LocateOperator(DataSet& ds, const QString& name, const QString& typed) {
    for (int row = 0; row < ds.recordCount(); ++row) {
        if (!ds.valueAt(row, schema::Employee::IsOperator).toBool() ||
            ds.valueAt(row, schema::Employee::SName).toString().compare(name, Qt::CaseInsensitive) != 0 ||
            !VerifyPassword(ds.valueAt(row, schema::Employee::Password).toString(), typed))
            continue;
        ds.moveTo(row);
        return true;
    }
    return false;
}

} // namespace

QStringList OperatorNames() {
    DataSet ds;
    ds.open(DataFile(schema::Employee::File));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        if (ds.asBool(schema::Employee::IsOperator)) names << ds.asString(schema::Employee::SName);
    ds.close();
    return names;
}

bool SignIn(const QString& name, const QString& password) {
    DataSet ds;
    ds.open(DataFile(schema::Employee::File));
    bool found = false;
    int group = 0;
    // Verified on the file's current content; a password still stored in clear is replaced by
    // its hash in the same write.
    ds.update([&] {
        found = LocateOperator(ds, name, password);
        if (!found) return;
        group = ds.asInt(schema::Employee::Rigth);
        const QString stored = ds.asString(schema::Employee::Password);
        if (stored.isEmpty() || IsPasswordHash(stored)) return;
        ds.edit();
        SetPasswordField(ds, stored);
        ds.post();
    });
    ds.close();
    if (!found) return false;
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
    ds.open(DataFile(schema::Employee::File));
    PasswordChange result = PasswordChange::WrongPassword;
    ds.update([&] {
        if (!LocateOperator(ds, name, oldPassword)) return;
        ds.edit();
        SetPasswordField(ds, newPassword);
        ds.post();
        result = PasswordChange::Changed;
    });
    ds.close();
    return result;
}

} // namespace kq
