#pragma once

#include <QString>
#include <QStringList>

namespace kq {

// The names of the employees marked as operators, in the file order of Employee.dat.
QStringList OperatorNames();

// Signs in the operator whose name and password match (both ignoring letter case). On a match
// the sign-in record gets the name and the rights text of the operator's group, and the result
// is true; otherwise the record stays as it was. Only employees marked as operators match. A
// password still stored in clear is replaced by its hash at a successful sign-in.
bool SignIn(const QString& name, const QString& password);

enum class PasswordChange { Changed, WrongPassword, NotConfirmed, TooLong };

// Sets the password of operator name when oldPassword is the stored one (ignoring letter case)
// and confirmation repeats newPassword exactly; the new one is stored as its hash (an empty one
// as none). A new password wider than FieldWidth::Password (10 GBK bytes) is refused.
PasswordChange ChangePassword(const QString& name, const QString& oldPassword, const QString& newPassword,
                              const QString& confirmation);

} // namespace kq
