#include "core/platform/systemservices.h"

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
    if (f.isEmpty())
        f = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/system");
#endif
    f = QDir::fromNativeSeparators(f);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return f;
}

QString GetWindowsVersion(unsigned platformId, unsigned major, unsigned minor) {
    if (platformId == 1) return minor == 0 ? QStringLiteral("Win95") : QStringLiteral("Win98");
    if (platformId != 2) return QStringLiteral("Unknown");
    if (major == 3) return QStringLiteral("WinNT351");
    if (major == 4) return QStringLiteral("WinNT40");
    if (major == 5) {
        if (minor == 0) return QStringLiteral("Win2000");
        if (minor == 1) return QStringLiteral("WinXP");
        if (minor == 2) return QStringLiteral("Win2003");
    }
    return QStringLiteral("Unknown");
}

QString NativeSystemServices::windowsVersion() const {
#ifdef _WIN32
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma warning(suppress : 4996)
    if (!GetVersionExW(&info)) return QStringLiteral("Unknown");
    return GetWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
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
#ifdef _WIN32
    // Started on its own, like a program launched from the shell, so that a command still
    // running after the wait goes on even when this program ends.
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty()) return false;
    QProcess p;
    p.setProgram(words.takeFirst());
    p.setArguments(words);
    p.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
        a->flags = (a->flags & ~DWORD(CREATE_NEW_CONSOLE)) | CREATE_NO_WINDOW;
        a->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        a->startupInfo->wShowWindow = SW_HIDE;
    });
    qint64 pid = 0;
    if (!p.startDetached(&pid)) return false;
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process) return true; // already gone
    const bool ended = WaitForSingleObject(process, DWORD(timeoutMs)) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
#else
    auto* p = new QProcess;
    p->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    if (!p->waitForStarted()) {
        delete p;
        return false;
    }
    if (p->waitForFinished(timeoutMs)) {
        delete p;
        return true;
    }
    // Left to run; the process object goes when the command ends.
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    return false;
#endif
}

void NativeSystemServices::sleep(int ms) {
    QThread::msleep(ms);
}

bool NativeSystemServices::rename(const QString& from, const QString& to) {
    return QFile::rename(from, to);
}

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
