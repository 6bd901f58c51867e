#include "core/setup/clockcontrol.h"

#include "core/data/datafolder.h"
#include "core/platform/systemservices.h"
#include "core/setup/unicodefile.h"

#include <QDir>
#include <QFileInfo>

namespace kq {

namespace {

const QString kPrivilege = QStringLiteral("SeSystemtimePrivilege");
const QString kSection = QStringLiteral("[Privilege Rights]");
const QString kTemplate = QStringLiteral("tmpp.inf");

// Upper bounds of the waits for the policy tool's commands, in milliseconds.
constexpr int kExportAtOpening = 2000;
constexpr int kExportAtSwitch = 1000;
constexpr int kValidate = 5000;
constexpr int kConfigure = 500;

QString Native(const QString& systemFolder, const QString& name) {
    return QDir::toNativeSeparators(systemFolder + name);
}

QString PolicyCommand(const QString& systemFolder, const QString& arguments) {
    return Native(systemFolder, QStringLiteral("COMMAND.COM")) + QStringLiteral(" /C ") +
           Native(systemFolder, QStringLiteral("secedit")) + arguments;
}

QStringList ExportTemplate(SystemServices& sys, int waitMs) {
    const QString folder = sys.systemFolder();
    sys.runHidden(ExportPolicyCommand(folder), waitMs);
    return TextLines(ReadUnicodeFile(folder + kTemplate, true));
}

ClockSwitchResult SwitchPrivilege(SystemServices& sys, bool off, const std::function<void()>& stepDone) {
    const QString folder = sys.systemFolder();
    const QString user = sys.userName();
    QStringList lines = ExportTemplate(sys, kExportAtSwitch);
    const PrivilegeEdit edit = EditClockPrivilege(lines, user, off);
    if (edit == PrivilegeEdit::Unchanged) return {true, {}};
    if (edit == PrivilegeEdit::NoSection) return {false, {}};
    WriteUnicodeFile(folder + kTemplate, LinesText(lines), true);
    if (stepDone) stepDone();
    sys.runHidden(ValidatePolicyCommand(folder), kValidate);
    if (stepDone) stepDone();
    sys.runHidden(ConfigurePolicyCommand(folder), kConfigure);
    if (stepDone) stepDone();
    return {true, edit == PrivilegeEdit::Revoked
                      ? QStringLiteral("已关闭修改计算机系统时间权限，请重新启动电脑生效！")
                      : QStringLiteral("已打开修改计算机系统时间权限，请重新启动电脑生效！")};
}

ClockSwitchResult SwitchControlPanelFile(SystemServices& sys, bool off) {
    const QString folder = sys.systemFolder();
    const QString shown = folder + QStringLiteral("Timedate.cpl");
    const QString hidden = folder + QStringLiteral("Timedate.sys");
    const QString from = ResolveFileName(off ? shown : hidden);
    if (QFileInfo::exists(from) && sys.rename(from, off ? hidden : shown)) return {true, {}};
    return {false, QStringLiteral("设置系统出错！")};
}

} // namespace

bool UsesPrivilegePath(const QString& versionName) {
    return versionName == QLatin1String("WinXP") || versionName == QLatin1String("Win2003");
}

int FindClockPrivilegeLine(const QStringList& lines) {
    for (int i = 0; i < lines.size(); ++i)
        if (lines.at(i).left(kPrivilege.size()) == kPrivilege) return i;
    return -1;
}

bool ClockSettingOffIn(const QStringList& lines, const QString& user) {
    const int i = FindClockPrivilegeLine(lines);
    return i < 0 || !lines.at(i).contains(user);
}

PrivilegeEdit EditClockPrivilege(QStringList& lines, const QString& user, bool off) {
    if (ClockSettingOffIn(lines, user) == off) return PrivilegeEdit::Unchanged;
    const int i = FindClockPrivilegeLine(lines);
    if (i >= 0) {
        if (off) {
            lines[i] = kPrivilege + QStringLiteral(" = *S-1-5-19");
            return PrivilegeEdit::Revoked;
        }
        const int eq = int(lines.at(i).indexOf(QLatin1Char('=')));
        lines[i] =
            (eq < 0 ? kPrivilege + QStringLiteral(" =") : lines.at(i).left(eq + 1)) + QLatin1Char(' ') + user;
        return PrivilegeEdit::Granted;
    }
    int header = -1;
    for (int h = 0; h < lines.size() && header < 0; ++h)
        if (lines.at(h).left(kSection.size()) == kSection) header = h;
    if (header < 0) return PrivilegeEdit::NoSection;
    // The fifth line below the header, but never past the end of the section.
    int end = header + 1;
    while (end < lines.size() && !lines.at(end).startsWith(QLatin1Char('[')))
        ++end;
    lines.insert(qMin(header + 5, end), kPrivilege + QStringLiteral(" = ") + user);
    return PrivilegeEdit::Inserted;
}

QString ExportPolicyCommand(const QString& systemFolder) {
    return PolicyCommand(systemFolder, QStringLiteral(" /export /cfg ") + Native(systemFolder, kTemplate) +
                                           QLatin1Char(' '));
}

QString ValidatePolicyCommand(const QString& systemFolder) {
    return PolicyCommand(systemFolder,
                         QStringLiteral(" /validate ") + Native(systemFolder, kTemplate) + QLatin1Char(' '));
}

QString ConfigurePolicyCommand(const QString& systemFolder) {
    return PolicyCommand(
        systemFolder, QStringLiteral(" /configure /db ") + Native(systemFolder, QStringLiteral("tmpp.sdb")) +
                          QStringLiteral(" /cfg ") + Native(systemFolder, kTemplate) + QLatin1Char(' '));
}

bool ReadClockSettingOff(SystemServices& sys) {
    if (UsesPrivilegePath(sys.windowsVersion()))
        return ClockSettingOffIn(ExportTemplate(sys, kExportAtOpening), sys.userName());
    return QFileInfo::exists(ResolveFileName(sys.systemFolder() + QStringLiteral("Timedate.sys")));
}

ClockSwitchResult SwitchClockSetting(SystemServices& sys, bool off, const std::function<void()>& stepDone) {
    return UsesPrivilegePath(sys.windowsVersion()) ? SwitchPrivilege(sys, off, stepDone)
                                                   : SwitchControlPanelFile(sys, off);
}

} // namespace kq
