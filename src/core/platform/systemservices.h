#pragma once

#include <QDateTime>
#include <QString>

namespace kq {

// Operating-system services of the settings window.
class SystemServices {
public:
    virtual ~SystemServices() = default;
    virtual QString systemFolder() const = 0;   // ends with a separator
    virtual QString windowsVersion() const = 0; // the version name ("Unknown" off Windows)
    virtual QString userName() const = 0;
    // Starts a command without a window and waits at most timeoutMs for it to end; a command
    // still running then is left to run. True when it ended in time.
    virtual bool runHidden(const QString& command, int timeoutMs) = 0;
    virtual void sleep(int ms) = 0;
    virtual bool rename(const QString& from, const QString& to) = 0;
    virtual bool setLocalTime(const QDateTime& dateTime) = 0;
};

// The version name of a platform id (1: the Windows 95 family, 2: the NT family) and its major
// and minor version numbers: "Win95", "Win98", "WinNT351", "WinNT40", "Win2000", "WinXP",
// "Win2003" or "Unknown".
QString GetWindowsVersion(unsigned platformId, unsigned major, unsigned minor);

// The real services of this machine.
class NativeSystemServices : public SystemServices {
public:
    // systemFolder: the configured folder standing in for the Windows system folder.
    explicit NativeSystemServices(const QString& systemFolder = {});
    QString systemFolder() const override;
    QString windowsVersion() const override;
    QString userName() const override;
    bool runHidden(const QString& command, int timeoutMs) override;
    void sleep(int ms) override;
    bool rename(const QString& from, const QString& to) override;
    bool setLocalTime(const QDateTime& dateTime) override;

private:
    QString m_systemFolder;
};

} // namespace kq
