#pragma once

#include "core/data/database.h"
#include "core/data/engine.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

struct pg_conn;

namespace kq {

// The PostgreSQL side of the connection KQDataBase.
//
// Tables on the server: WorkList and Inform as in the SQLite files, with dates and times kept as
// the same ISO texts ("yyyy-mm-dd", "hh:nn:ss") in columns of the byte-order collation "C", so
// that every comparison and every "order by" gives what SQLite gives and the reports come out
// identical; WorkList has a unique key on (Name, DDate), Inform's row number is a column named
// rowid, and each slot's time in seconds in a generated column. DataDocument (Name, Version, Body)
// holds the seven dataset files, KQSchema the layout's version.

// The seconds since midnight of a slot time column as the program's fixed reader of the stored
// form "hh:nn:ss" reads it; null for null, empty and every other text. WorkList keeps it for each
// slot in a generated column, SlotSecondsColumn ("T0Sec" …), and in the generated column
// Unreadable whether any slot holds another text (one the program reads otherwise, or not at all).
QString StoredTimeSeconds(const QString& column);
QString SlotSecondsColumn(int slot);

// Opens db (a QPSQL connection) on server. Throws KqError naming the server (never the password)
// when it cannot.
void ConnectServerDatabase(QSqlDatabase& db, const ServerAddress& server);

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

// Statements straight through the client library on KQDataBase's server connection: bulk copies
// and transactions that Qt's driver cannot express. Every failure throws KqError (naming the
// server when the connection broke); a transaction begun here and not committed is rolled back
// when the link goes.
class ServerLink {
public:
    ServerLink();
    ~ServerLink();
    ServerLink(const ServerLink&) = delete;
    ServerLink& operator=(const ServerLink&) = delete;

    void begin(const QByteArray& how = "BEGIN");
    void commit();
    // Runs sql with $1 … bound to values (a null QByteArray is NULL); returns the rows it changed.
    qint64 command(const QByteArray& sql, const QList<QByteArray>& values = {});
    // The first column of the first row of a query.
    QByteArray value(const QByteArray& sql, const QList<QByteArray>& values = {});
    // COPY … FROM STDIN: feeds what next() hands out (text format) until it returns false; returns
    // the rows copied.
    qint64 copyIn(const QByteArray& sql, const std::function<bool(QByteArray& data)>& next);

private:
    [[noreturn]] void fail() const;
    ConnectionHold m_hold; // the connection stays the one m_conn points into
    pg_conn* m_conn;
    bool m_open = false;
};

} // namespace kq
