#pragma once

#include "core/data/engine.h"

#include <QSqlDatabase>
#include <QString>

struct pg_conn;

namespace kq {

// The PostgreSQL side of the connection KQDataBase.
//
// Tables on the server: WorkList and Inform as in the SQLite files, with dates and times kept as
// the same ISO texts ("yyyy-mm-dd", "hh:nn:ss") in columns of the byte-order collation "C", so
// that every comparison and every "order by" gives what SQLite gives and the reports come out
// identical; WorkList has a unique key on (Name, DDate), Inform's row number is a column named
// rowid. DataDocument (Name, Version, Body) holds the seven dataset files, KQSchema the layout's
// version.

// Opens db (a QPSQL connection) on server and creates the missing tables. Throws KqError naming
// the server (never the password) when it cannot.
void OpenServerDatabase(QSqlDatabase& db, const ServerAddress& server);

// The message for a failure of the server connection: names the server, never the password.
QString ServerFailure(const ServerAddress& server, const QString& reason);

// The client library's connection under a QPSQL connection, ready for a command (the rows a
// forward-only query of Qt's driver left unread are dropped); throws KqError when there is none.
pg_conn* ServerHandle(const QSqlDatabase& db);

// Whether db is a server connection that is closed or was broken (the server went away).
bool ServerConnectionLost(const QSqlDatabase& db);

// Removes every table of the server's data (a restore or a migration into it replaces them).
// Runs on db inside the caller's transaction.
void ClearServerData(QSqlDatabase& db);

// Sets the row-number sequences of WorkList and Inform past the highest stored number, after rows
// were copied in with their numbers.
void ResetServerSequences(QSqlDatabase& db);

} // namespace kq
