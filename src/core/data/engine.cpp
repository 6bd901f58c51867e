#include "core/data/engine.h"

#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/platform/savefiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace kq {

namespace {

Engine& Current() {
    static Engine engine;
    return engine;
}

QString Decoded(const QString& part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

QString Encoded(const QString& part, const QByteArray& keep = {}) {
    return QString::fromUtf8(QUrl::toPercentEncoding(part, keep));
}

// The URL as given with its password, if any, replaced: for messages about a URL that fails.
QString Masked(const QString& url) {
    static const QRegularExpression secret(QStringLiteral("^([^:/]+://[^:@/]*):[^@/]*@"));
    QString shown = url;
    shown.replace(secret, QStringLiteral("\\1:***@"));
    return shown;
}

KqError BadUrl(const QString& url, const QString& why) {
    return KqError(QStringLiteral("数据库地址“%1”无效：%2（格式：postgresql://用户@主机:端口/数据库）")
                       .arg(Masked(url), why));
}

QString ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.read(64 * 1024));
}

// The URL the folder's settings file names; empty when the folder has none.
QString StoredUrl(const QString& folder) {
    for (const QString& line :
         ReadSmallFile(ResolveFileName(folder + kServerSettingsFile)).split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("url="))) return t.mid(4).trimmed();
    }
    return {};
}

QString FolderWithSlash(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

void Save(const QString& path, const QByteArray& content, bool ownerOnly) {
    QString error;
    if (!SaveWhole(path, content, &error, ownerOnly))
        throw KqError(QStringLiteral("无法写入文件：%1（%2）").arg(QDir::toNativeSeparators(path), error));
}

} // namespace

QString ServerAddress::display() const {
    const QString where = host.isEmpty() ? QStringLiteral("localhost") : host;
    return QStringLiteral("%1@%2:%3/%4").arg(user, where).arg(port).arg(database);
}

QString ServerAddress::url() const {
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty()) text += Encoded(user) + QLatin1Char('@');
    const bool socket = host.startsWith(QLatin1Char('/'));
    if (!socket) text += host;
    text += QStringLiteral(":%1/").arg(port) + Encoded(database);
    if (socket) text += QStringLiteral("?host=") + Encoded(host, "/");
    return text;
}

ServerAddress ParseServerUrl(const QString& url) {
    static const QRegularExpression form(
        QStringLiteral("^(postgres|postgresql)://(?:([^:@/?]*)(?::([^@/?]*))?@)?([^/:?]*)(?::([0-9]*))?"
                       "(?:/([^?]*))?(?:\\?(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(url.trimmed());
    if (!m.hasMatch()) throw BadUrl(url, QStringLiteral("不是 postgresql:// 地址"));
    ServerAddress server;
    server.user = Decoded(m.captured(2));
    server.password = Decoded(m.captured(3));
    server.host = Decoded(m.captured(4));
    const QString port = m.captured(5);
    server.database = Decoded(m.captured(6));
    const QUrlQuery query(m.captured(7));
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            server.host = value;
        else if (key == QLatin1String("port") && port.isEmpty())
            server.port = value.toInt();
        else
            throw BadUrl(url, QStringLiteral("不认识的参数 %1").arg(key));
    }
    if (!port.isEmpty()) {
        bool ok = false;
        server.port = port.toInt(&ok);
        if (!ok) server.port = 0;
    }
    if (server.port <= 0 || server.port > 65535) throw BadUrl(url, QStringLiteral("端口无效"));
    if (server.user.isEmpty()) throw BadUrl(url, QStringLiteral("缺少用户名"));
    if (server.database.isEmpty()) throw BadUrl(url, QStringLiteral("缺少数据库名"));
    return server;
}

Engine ChooseEngine(const QString& option, const QString& environment, const QString& folder) {
    const QString dir = FolderWithSlash(folder);
    const QString stored = dir.isEmpty() ? QString() : StoredUrl(dir);
    QString url = option.trimmed();
    if (url.isEmpty()) url = environment.trimmed();
    if (url.isEmpty()) url = stored;
    Engine engine;
    if (url.isEmpty()) return engine;
    engine.kind = EngineKind::PostgreSQL;
    engine.server = ParseServerUrl(url);
    if (engine.server.password.isEmpty() && !stored.isEmpty() &&
        ParseServerUrl(stored).url() == engine.server.url()) {
        engine.server.password =
            ReadSmallFile(ResolveFileName(dir + kServerPasswordFile)).section(QLatin1Char('\n'), 0, 0);
    }
    return engine;
}

const Engine& ComputeEngine(const QString& option, const QString& folder) {
    Current() = ChooseEngine(option, qEnvironmentVariable("KAOQIN_DATABASE"), folder);
    return Current();
}

const Engine& CurrentEngine() {
    return Current();
}

void SetEngine(const Engine& engine) {
    Current() = engine;
}

bool OnServer() {
    return Current().kind == EngineKind::PostgreSQL;
}

QString EngineText() {
    if (!OnServer()) return QStringLiteral("SQLite");
    return QStringLiteral("PostgreSQL ") + Current().server.display();
}

void StoreServerChoice(const QString& folder, const ServerAddress& server) {
    const QString dir = FolderWithSlash(folder);
    const QString passwordFile = ResolveFileName(dir + kServerPasswordFile);
    if (!server.password.isEmpty())
        Save(passwordFile, server.password.toUtf8() + '\n', true);
    else if (QFile::exists(passwordFile) && !QFile::remove(passwordFile))
        throw KqError(QStringLiteral("无法删除文件：%1").arg(QDir::toNativeSeparators(passwordFile)));
    Save(ResolveFileName(dir + kServerSettingsFile),
         "# The server this data folder's records live on (kaoqin-cli init --database URL).\nurl=" +
             server.url().toUtf8() + '\n',
         false);
}

} // namespace kq
