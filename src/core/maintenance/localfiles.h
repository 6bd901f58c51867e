#pragma once

#include <QString>

namespace kq {

// Whether a file of the data folder belongs to this installation rather than to its data: the
// lock files (*.lock, the owner lock among them), SQLite's companions of a database file
// (-wal, -shm, -journal) and the files naming the folder's server (Database.ini, Database.pass). A backup
// leaves them out, and a restore neither takes them from an archive nor puts anything in their place. Matched
// ignoring case.
bool IsLocalFile(const QString& name);

} // namespace kq
