#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace kq {

class SystemServices;

// The computer's Windows date/time setting is switched off in one of two ways. On "WinXP" and
// "Win2003" (the privilege path) the user loses the right to change the clock in the local
// security policy, edited through a template the policy tool exports and applies. On every other
// version (the control-panel-file path) the Date/Time control-panel file of the system folder is
// renamed from Timedate.cpl to Timedate.sys, and back to switch it on.
bool UsesPrivilegePath(const QString& versionName);

// The clock privilege in an exported template: the first line whose first 21 characters are
// "SeSystemtimePrivilege"; -1 when there is none.
int FindClockPrivilegeLine(const QStringList& lines);
// Whether the template has the setting switched off for user: no privilege line, or a line that
// does not name user (plain substring test, letter case significant).
bool ClockSettingOffIn(const QStringList& lines, const QString& user);

enum class PrivilegeEdit {
    Revoked,   // the line now names only the local-service account
    Granted,   // the line now names only the user
    Inserted,  // a line naming the user was added to the "[Privilege Rights]" section
    Unchanged, // the template already holds the wanted state
    NoSection, // nothing to grant in: the template has no "[Privilege Rights]" section
};
// Edits the template so that user loses (off) or gets the clock privilege.
PrivilegeEdit EditClockPrivilege(QStringList& lines, const QString& user, bool off);

// The commands of the policy tool on the template tmpp.inf of the system folder.
QString ExportPolicyCommand(const QString& systemFolder);
QString ValidatePolicyCommand(const QString& systemFolder);
QString ConfigurePolicyCommand(const QString& systemFolder);

// Whether the setting is switched off now. The privilege path exports the policy first.
bool ReadClockSettingOff(SystemServices& sys);

struct ClockSwitchResult {
    bool done = false; // the system now has the wanted state
    QString message;   // for the user, empty when there is nothing to say
};
// Switches the setting off or on. The privilege path exports, edits, validates and applies the
// template, waiting for each command to end (at most 1, 5 and 0.5 s); the change takes effect
// after a restart. The control-panel-file path renames the file. stepDone, when given, is called
// after each step of the privilege path, so a window can keep itself responsive between the waits.
ClockSwitchResult SwitchClockSetting(SystemServices& sys, bool off,
                                     const std::function<void()>& stepDone = {});

} // namespace kq
