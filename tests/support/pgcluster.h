#pragma once

#include "core/data/engine.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kq::test {

// A throwaway PostgreSQL cluster: initdb in a temporary folder, the server listening only on a
// Unix socket in that folder, with one superuser "kq" (password "kq-secret") and a database
// "kq". PostgreSQL refuses to run as root: when the tests do, the folder is handed to the
// unprivileged user "nobody" and the server runs as that user. The server stops with the object,
// and also when the test program dies (it watches its standard input).
class PgCluster {
public:
    // Why the tests on the server cannot run here (the server programs are not installed); empty
    // when they can.
    static QString missingReason();
    // The cluster shared by the tests of this program, started at the first call; nullptr with
    // missingReason() when there are no server programs. Throws KqError when they are there but
    // the cluster does not start.
    static PgCluster* shared();

    // initdb and start; throws KqError. A durable cluster flushes every commit to the disk as a
    // production server does (benchmarks); the tests' cluster does not, to run fast.
    explicit PgCluster(bool durable = false);
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    void start();
    void stop();
    bool running() const;

    // The server's address for database, with the password.
    ServerAddress address(const QString& database = QStringLiteral("kq")) const;
    QString url(const QString& database = QStringLiteral("kq")) const;
    // Runs sql as the superuser on database; throws KqError.
    void run(const QString& sql, const QString& database = QStringLiteral("kq")) const;
    // Empties database: every table and sequence goes.
    void reset(const QString& database = QStringLiteral("kq")) const;

private:
    QString m_bin;
    bool m_durable;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_server;
};

} // namespace kq::test
