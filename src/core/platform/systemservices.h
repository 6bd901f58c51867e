#pragma once

#include <QDateTime>
#include <QString>

namespace kq {

// Operating-system services of the settings window.
class SystemServices {
public:
    virtual ~SystemServices() = default;
    virtual QString systemFolder() const = 0; // ends with a separator
    virtual QString windowsVersion() const = 0; // the version name ("Unknown" off Windows)
    virtual QString userName() const = 0;
    // Runs a command without a window and waits for it to end, at most timeoutMs.
    virtual bool runHidden(const QString& command, int timeoutMs) = 0;
    virtual void sleep(int ms) = 0;
    virtual bool rename(const QString& from, const QString& to) = 0;
    virtual bool setLocalTime(const QDateTime& dateTime) = 0;
};

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
