#pragma once

#include <QString>

struct sqlite3;

namespace kq {

// A database file as a whole, through SQLite's own interface.

// Copies the database at source into a new file at target as one consistent image, read within
// one read transaction: in write-ahead-log mode writers go on meanwhile and are not waited for.
// The pages go from file to file through SQLite's small page cache, never the whole database
// through memory. Throws KqError with the engine's reason.
void TakeDatabaseImage(const QString& source, const QString& target);

// A read transaction held on a database. In write-ahead-log mode, once every change it sees is
// in the database file itself (fileHoldsIt), that file stays as it is while the transaction is
// held: writers go on into the log, and no checkpoint may copy their pages into the file. The file
// is then a consistent image as it lies. Throws KqError with the engine's reason.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const QString& path);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    bool fileHoldsIt() const { return m_fileHoldsIt; }

private:
    sqlite3* m_db = nullptr;
    bool m_fileHoldsIt = false;
};

// Empty when the file at path opens as an SQLite database that passes its integrity check;
// otherwise the engine's reason. The file must not be written meanwhile.
QString DatabaseProblem(const QString& path);

// Whether the file begins as an SQLite database does.
bool LooksLikeDatabase(const QString& path);

} // namespace kq
