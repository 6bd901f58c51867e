#pragma once

#include <QIODevice>
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_file;

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
// is then a consistent image as it lies, read through the connection's own file handle: a file
// descriptor of its own would, once closed, take the process's locks on the database with it.
// Throws KqError with the engine's reason.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const QString& path);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    bool fileHoldsIt() const { return m_fileHoldsIt; }
    // The database file as it lies, opened for reading; for fileHoldsIt only.
    std::unique_ptr<QIODevice> open() const;

private:
    sqlite3* m_db = nullptr;
    sqlite3_file* m_file = nullptr;
    bool m_fileHoldsIt = false;
};

// Empty when the file at path opens as an SQLite database that passes its integrity check;
// otherwise the engine's reason. The file must not be written meanwhile.
QString DatabaseProblem(const QString& path);

// Whether the file begins as an SQLite database does.
bool LooksLikeDatabase(const QString& path);

} // namespace kq
