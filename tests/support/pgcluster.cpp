#include "support/pgcluster.h"

#include "core/data/kqerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVersionNumber>
#include <pwd.h>
#include <unistd.h>

namespace kq::test {

namespace {

const QString kUser = QStringLiteral("kq");
const QString kPassword = QStringLiteral("kq-secret");
constexpr int kPort = 5432;
constexpr int kStartMs = 60000;

// The folder holding initdb and postgres: the PATH, else the newest of Debian's versioned folders.
QString ServerBinFolder() {
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!initdb.isEmpty() && !QStandardPaths::findExecutable(QStringLiteral("postgres")).isEmpty())
        return QFileInfo(initdb).absolutePath();
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QString best;
    QVersionNumber bestVersion;
    for (const QString& v : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString bin = versions.filePath(v) + QStringLiteral("/bin");
        if (!QFile::exists(bin + QStringLiteral("/initdb")) ||
            !QFile::exists(bin + QStringLiteral("/postgres")))
            continue;
        const QVersionNumber version = QVersionNumber::fromString(v);
        if (best.isEmpty() || version > bestVersion) {
            best = bin;
            bestVersion = version;
        }
    }
    return best;
}

bool AsRoot() {
    return geteuid() == 0;
}

// program and arguments, run as "nobody" when the tests run as root.
QStringList Command(const QString& program, const QStringList& arguments) {
    if (!AsRoot()) return QStringList{program} + arguments;
    return QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("nobody"),
                       QStringLiteral("--"), program} +
           arguments;
}

void HandToServerUser(const QString& path) {
    if (!AsRoot()) return;
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
        throw KqError(QStringLiteral("cannot hand %1 to the user nobody").arg(path));
}

std::unique_ptr<PgCluster>& Shared() {
    static std::unique_ptr<PgCluster> cluster;
    return cluster;
}

} // namespace

QString PgCluster::missingReason() {
    if (!ServerBinFolder().isEmpty()) return {};
    return QStringLiteral("the PostgreSQL server programs (initdb, postgres) are not installed: "
                          "scripts/setup-deps installs the package postgresql");
}

PgCluster* PgCluster::shared() {
    if (!missingReason().isEmpty()) return nullptr;
    if (!Shared()) {
        Shared() = std::make_unique<PgCluster>();
        // Stopped while the application object still exists.
        qAddPostRoutine([] { Shared().reset(); });
    }
    return Shared().get();
}

PgCluster::PgCluster(bool durable) : m_bin(ServerBinFolder()), m_durable(durable) {
    if (m_bin.isEmpty()) throw KqError(missingReason());
    // A short path: the socket's full name must stay within 107 bytes.
    m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/kq-pg-XXXXXX"));
    if (!m_dir->isValid()) throw KqError(QStringLiteral("no temporary folder for the cluster"));
    HandToServerUser(m_dir->path());
    const QString passwordFile = m_dir->filePath(QStringLiteral("password"));
    QFile pw(passwordFile);
    if (!pw.open(QIODevice::WriteOnly) || pw.write(kPassword.toUtf8() + '\n') < 0)
        throw KqError(QStringLiteral("cannot write %1").arg(passwordFile));
    pw.close();
    HandToServerUser(passwordFile);
    QStringList initdbArguments{QStringLiteral("-D"),
                                m_dir->filePath(QStringLiteral("data")),
                                QStringLiteral("-U"),
                                kUser,
                                QStringLiteral("--pwfile=") + passwordFile,
                                QStringLiteral("--auth-local=scram-sha-256"),
                                QStringLiteral("--auth-host=scram-sha-256"),
                                QStringLiteral("-E"),
                                QStringLiteral("UTF8"),
                                QStringLiteral("--locale=C.UTF-8")};
    if (!m_durable) initdbArguments << QStringLiteral("--no-sync");
    const QStringList initdb = Command(m_bin + QStringLiteral("/initdb"), initdbArguments);
    QProcess init;
    init.setProcessChannelMode(QProcess::MergedChannels);
    init.start(initdb.first(), initdb.mid(1));
    if (!init.waitForFinished(kStartMs) || init.exitStatus() != QProcess::NormalExit || init.exitCode() != 0)
        throw KqError(QStringLiteral("initdb failed: %1").arg(QString::fromLocal8Bit(init.readAll())));
    start();
    run(QStringLiteral("CREATE DATABASE kq"), QStringLiteral("postgres"));
}

PgCluster::~PgCluster() {
    stop();
}

void PgCluster::start() {
    if (running()) return;
    // The server runs in the background of a shell that waits for the end of its input: closing
    // it, or the death of this program, stops the server (fast shutdown).
    const QString settings = m_durable ? QString() : QStringLiteral(" -c fsync=off -c full_page_writes=off");
    const QString script = QStringLiteral("\"$0\" -D \"$1\" -k \"$2\" -p %1 -c listen_addresses=%2 & p=$!; "
                                          "read _; kill -INT $p; wait $p")
                               .arg(kPort)
                               .arg(settings);
    const QStringList command =
        Command(QStringLiteral("sh"), {QStringLiteral("-c"), script, m_bin + QStringLiteral("/postgres"),
                                       m_dir->filePath(QStringLiteral("data")), m_dir->path()});
    m_server = std::make_unique<QProcess>();
    m_server->setProcessChannelMode(QProcess::MergedChannels);
    m_server->start(command.first(), command.mid(1));
    QByteArray log;
    while (!log.contains("ready to accept connections")) {
        if (!m_server->waitForReadyRead(kStartMs)) {
            log += m_server->readAll();
            m_server.reset();
            throw KqError(
                QStringLiteral("the PostgreSQL server did not start: %1").arg(QString::fromLocal8Bit(log)));
        }
        log += m_server->readAll();
    }
}

void PgCluster::stop() {
    if (!m_server) return;
    m_server->closeWriteChannel();
    if (!m_server->waitForFinished(kStartMs)) m_server->kill();
    m_server.reset();
}

bool PgCluster::running() const {
    return m_server && m_server->state() == QProcess::Running;
}

ServerAddress PgCluster::address(const QString& database) const {
    ServerAddress a;
    a.user = kUser;
    a.password = kPassword;
    a.host = m_dir->path();
    a.port = kPort;
    a.database = database;
    return a;
}

QString PgCluster::url(const QString& database) const {
    return QStringLiteral("postgresql://%1:%2@:%3/%4?host=%5")
        .arg(kUser, kPassword)
        .arg(kPort)
        .arg(database, m_dir->path());
}

void PgCluster::run(const QString& sql, const QString& database) const {
    const QString name = QStringLiteral("KQTestCluster");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        const ServerAddress a = address(database);
        db.setHostName(a.host);
        db.setPort(a.port);
        db.setUserName(a.user);
        db.setPassword(a.password);
        db.setDatabaseName(a.database);
        db.setConnectOptions(QStringLiteral("options='-c client_min_messages=warning'"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(sql)) error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty()) throw KqError(QStringLiteral("%1: %2").arg(sql, error));
}

void PgCluster::reset(const QString& database) const {
    run(QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"), database);
}

} // namespace kq::test
