#include "platform/systemservices.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#ifndef _WIN32
#include <ctime>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace kq {

NativeSystemServices::NativeSystemServices(const QString& systemFolder) : m_systemFolder(systemFolder) {}

QString NativeSystemServices::systemFolder() const {
    QString f = m_systemFolder;
#ifdef _WIN32
    if (f.isEmpty()) {
        wchar_t buf[MAX_PATH];
        const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
        f = QString::fromWCharArray(buf, int(n));
    }
#else
    if (f.isEmpty()) f = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/system");
#endif
    f = QDir::fromNativeSeparators(f);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

QString NativeSystemServices::windowsVersion() const {
#ifdef _WIN32
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma warning(suppress : 4996)
    if (!GetVersionExW(&info)) return QStringLiteral("Unknown");
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (info.dwMajorVersion <= 4) return QStringLiteral("WinNT");
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) return QStringLiteral("Win2000");
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1) return QStringLiteral("WinXP");
        return QStringLiteral("Unknown");
    }
    if (info.dwMinorVersion == 0) return QStringLiteral("Win95");
    if (info.dwMinorVersion == 10) return QStringLiteral("Win98");
    return QStringLiteral("WinMe");
#else
    return QStringLiteral("Unknown");
#endif
}

QString NativeSystemServices::userName() const {
#ifdef _WIN32
    return qEnvironmentVariable("USERNAME");
#else
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("LOGNAME");
    return user;
#endif
}

bool NativeSystemServices::runHidden(const QString& command, int timeoutMs) {
    QProcess p;
#ifdef _WIN32
    p.startCommand(command);
#else
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
#endif
    if (!p.waitForStarted()) return false;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void NativeSystemServices::sleep(int ms) { QThread::msleep(ms); }

bool NativeSystemServices::rename(const QString& from, const QString& to) { return QFile::rename(from, to); }

bool NativeSystemServices::setLocalTime(const QDateTime& dateTime) {
#ifdef _WIN32
    SYSTEMTIME st{};
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    st.wYear = WORD(d.year());
    st.wMonth = WORD(d.month());
    st.wDay = WORD(d.day());
    st.wHour = WORD(t.hour());
    st.wMinute = WORD(t.minute());
    st.wSecond = WORD(t.second());
    st.wMilliseconds = WORD(t.msec());
    return SetLocalTime(&st) != 0;
#else
    timespec ts{};
    const qint64 ms = dateTime.toMSecsSinceEpoch();
    ts.tv_sec = time_t(ms / 1000);
    ts.tv_nsec = long((ms % 1000) * 1000000);
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
#endif
}

} // namespace kq
