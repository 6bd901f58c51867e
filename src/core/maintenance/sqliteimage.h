#pragma once

#include <QString>

namespace kq {

// A database file as a whole, through SQLite's own interface.

// Copies the database at source into a new file at target as one consistent image, read within
// one read transaction: in write-ahead-log mode writers go on meanwhile and are not waited for.
// The pages go from file to file through SQLite's small page cache, never the whole database
// through memory. Throws KqError with the engine's reason.
void TakeDatabaseImage(const QString& source, const QString& target);

// Empty when the file at path opens as an SQLite database that passes its integrity check;
// otherwise the engine's reason. The file must not be written meanwhile.
QString DatabaseProblem(const QString& path);

// Whether the file begins as an SQLite database does.
bool LooksLikeDatabase(const QString& path);

} // namespace kq
