#include "support/xsession.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

namespace kq::test {

Child::~Child() {
    if (process.state() == QProcess::NotRunning) return;
    process.kill();
    process.waitForFinished(5000);
}

XSession::XSession(const QString& screen) {
    m_xvfb.process.start(QStringLiteral("Xvfb"),
                         {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    const QDeadlineTimer deadline(10000);
    if (m_xvfb.process.waitForStarted(5000)) {
        while (m_display.isEmpty() && !deadline.hasExpired() && m_xvfb.process.state() == QProcess::Running) {
            m_xvfb.process.waitForReadyRead(200);
            const QString line = QString::fromUtf8(m_xvfb.process.readAllStandardOutput()).trimmed();
            if (!line.isEmpty()) m_display = QLatin1Char(':') + line;
        }
    }
    if (m_display.isEmpty()) m_error = m_xvfb.process.errorString();
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The X tools print titles in UTF-8 whatever the caller's locale.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

void XSession::start(Child& child, const QString& program, const QStringList& args,
                     const QString& home) const {
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
    child.process.setProcessEnvironment(env);
    child.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.process.start(program, args);
}

bool XSession::startWindowManager() {
    m_wm.process.setProcessEnvironment(environment());
    m_wm.process.start(QStringLiteral("openbox"), {});
    if (!m_wm.process.waitForStarted(5000)) return false;
    // A running window manager names itself on the root window's supporting window.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_wm.process.state() == QProcess::Running) {
        QString out;
        if (run(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, &out) == 0 &&
            out.contains(QLatin1String("window id")))
            return true;
        QThread::msleep(100);
    }
    return false;
}

int XSession::run(const QString& tool, const QStringList& args, QString* out) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(tool, args);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (out) *out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return p.exitCode();
}

QString XSession::waitForWindow(const QString& pattern, bool byName, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QString found;
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
             byName ? QStringLiteral("--name") : QStringLiteral("--class"), pattern},
            &found);
        found = found.section(QLatin1Char('\n'), 0, 0);
        if (!found.isEmpty()) return found;
        QThread::msleep(100);
    }
    return {};
}

QStringList XSession::titles(const QString& window) const {
    QString out;
    run(QStringLiteral("xprop"),
        {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_NAME"), QStringLiteral("WM_NAME")}, &out);
    // Lines of the form: _NET_WM_NAME(UTF8_STRING) = "text"
    QStringList titles;
    static const QRegularExpression line(QStringLiteral("^\\S+\\(\\S+\\) = \"(.*)\"$"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(out); it.hasNext();)
        titles << it.next().captured(1);
    return titles;
}

} // namespace kq::test
