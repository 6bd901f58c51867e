#pragma once

#include <QString>

namespace kq {

class DataSet;

// Operator passwords are kept as salted Argon2id hashes of the case-folded password, so that
// the sign-in still ignores letter case. Files written before hold the password in clear; such
// a value is verified as before and replaced by its hash whenever its row is written again.

// Whether a stored value is a hash (and not an old clear password).
bool IsPasswordHash(const QString& stored);

// The hash to store for password; an empty password stays empty (none set). Throws KqError
// when the hash cannot be made.
QString HashPassword(const QString& password);

// Whether typed is the password stored (a hash, or a clear value compared ignoring case).
bool VerifyPassword(const QString& stored, const QString& typed);

// Sets the Password field of the row being edited or appended to what is stored for password
// (see HashPassword); a stored value given (a hash, or a clear one that is hashed now) is kept.
// Widens the field of a file written when it held clear passwords, so a hash is never cut.
void SetPasswordField(DataSet& ds, const QString& passwordOrStored);

// Replaces the clear passwords of every row of the Employee.dat file fileName by their hashes,
// in one write; returns how many were replaced.
int HashClearPasswords(const QString& fileName);

} // namespace kq
