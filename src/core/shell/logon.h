#pragma once

#include <QString>
#include <QStringList>

namespace kq {

// The names of the employees marked as operators, in the file order of Employee.dat.
QStringList OperatorNames();

// Signs in the operator whose name and password match (both ignoring letter case). On a match
// the sign-in record gets the name and the rights text of the operator's group, and the result
// is true; otherwise the record stays as it was. Only employees marked as operators match.
bool SignIn(const QString& name, const QString& password);

enum class PasswordChange { Changed, WrongPassword, NotConfirmed, TooLong };

// Sets the password of operator name when oldPassword is the stored one (ignoring letter case)
// and confirmation repeats newPassword exactly. A new password wider than the field (10 GBK
// bytes) is refused, never stored cut.
PasswordChange ChangePassword(const QString& name, const QString& oldPassword, const QString& newPassword,
                              const QString& confirmation);

} // namespace kq
