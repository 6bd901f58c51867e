#include "core/data/kqerror.h"
#include "core/platform/systemservices.h"
#include "core/setup/clockcontrol.h"
#include "core/setup/unicodefile.h"
#include "support/fakes.h"
#include "support/testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

using test::ReadBytes;

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// An export of the policy tool, with the clock privilege line given (none when empty).
QStringList Export(const QString& privilegeLine) {
    QStringList lines = {"[Unicode]",
                         "Unicode=yes",
                         "[System Access]",
                         "MinimumPasswordAge = 0",
                         "[Privilege Rights]",
                         "SeNetworkLogonRight = *S-1-1-0,*S-1-5-32-544",
                         "SeBackupPrivilege = *S-1-5-32-544,*S-1-5-32-551",
                         "SeShutdownPrivilege = *S-1-5-32-544",
                         "SeDebugPrivilege = *S-1-5-32-544",
                         "SeUndockPrivilege = *S-1-5-32-544",
                         "[Version]",
                         "signature=\"$CHICAGO$\"",
                         "Revision=1"};
    if (!privilegeLine.isEmpty()) lines.insert(7, privilegeLine);
    return lines;
}

} // namespace

TEST(WindowsVersion, NameFromPlatformAndNumbers) {
    struct Case {
        unsigned platform, major, minor;
        const char* name;
    } cases[] = {
        {1, 4, 0, "Win95"},   {1, 4, 10, "Win98"},  {1, 4, 90, "Win98"},   {2, 3, 51, "WinNT351"},
        {2, 4, 0, "WinNT40"}, {2, 5, 0, "Win2000"}, {2, 5, 1, "WinXP"},    {2, 5, 2, "Win2003"},
        {2, 5, 3, "Unknown"}, {2, 6, 1, "Unknown"}, {2, 10, 0, "Unknown"}, {0, 3, 1, "Unknown"},
        {3, 5, 1, "Unknown"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetWindowsVersion(c.platform, c.major, c.minor), c.name)
            << c.platform << " " << c.major << "." << c.minor;
    // Only the last two NT 5 versions take the privilege path; anything else renames the file.
    for (const char* name : {"WinXP", "Win2003"})
        EXPECT_TRUE(UsesPrivilegePath(name));
    for (const char* name : {"Win95", "Win98", "WinNT351", "WinNT40", "Win2000", "Unknown", "winxp"})
        EXPECT_FALSE(UsesPrivilegePath(name)) << name;
#ifndef _WIN32
    EXPECT_EQ(NativeSystemServices().windowsVersion(), "Unknown");
#endif
}

TEST(UnicodeFile, LittleEndianBehindTheMark) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.inf");
    WriteUnicodeFile(path, "A张\r\n", true);
    EXPECT_EQ(ReadBytes(path), QByteArray("\xFF\xFE"
                                          "A\x00\x20\x5F\r\x00\n\x00",
                                          10));
    EXPECT_EQ(ReadUnicodeFile(path, true), "A张\r\n");
    WriteUnicodeFile(path, "B", false);
    EXPECT_EQ(ReadBytes(path), QByteArray("B\x00", 2));
    EXPECT_EQ(ReadUnicodeFile(path, false), "B");
    EXPECT_EQ(ReadUnicodeFile(path, true), ""); // the mark is missing

    WriteUnicodeFile(path, "", true); // empty text leaves the file alone
    EXPECT_EQ(ReadBytes(path), QByteArray("B\x00", 2));
    WriteBytes(path, QByteArray("\xFF\xFE"
                                "C\x00"
                                "D",
                                5)); // an odd last byte is ignored
    EXPECT_EQ(ReadUnicodeFile(path, true), "C");
    EXPECT_EQ(ReadUnicodeFile(dir.filePath("missing.inf"), true), "");
    EXPECT_THROW(WriteUnicodeFile(dir.filePath("no/such/folder/t.inf"), "x", true), KqError);
}

TEST(UnicodeFile, LinesSplitAtAnyBreakAndJoinWithCrLf) {
    struct Case {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\n", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextLines(c.text), c.lines) << c.text;
    EXPECT_EQ(LinesText({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(LinesText({}), "");
}

TEST(ClockPrivilege, OpeningStateAndEditOfATemplate) {
    const QString clerkLine = "SeSystemtimePrivilege = *S-1-5-19,*S-1-5-32-544,clerk";
    const QString otherLine = "SeSystemtimePrivilege = *S-1-5-19,*S-1-5-32-544";
    struct Case {
        QStringList lines;
        bool openedOff; // the setting reads as switched off
        bool wantOff;   // what Apply asks for
        PrivilegeEdit edit;
        int line; // where the privilege line is afterwards
        QString result;
    } cases[] = {
        {Export(clerkLine), false, true, PrivilegeEdit::Revoked, 7, "SeSystemtimePrivilege = *S-1-5-19"},
        {Export(otherLine), true, false, PrivilegeEdit::Granted, 7, "SeSystemtimePrivilege = clerk"},
        {Export(QString()), true, false, PrivilegeEdit::Inserted, 9, "SeSystemtimePrivilege = clerk"},
        {Export("SeSystemtimePrivilege = *S-1-5-19,Clerk"), true, false, PrivilegeEdit::Granted, 7,
         "SeSystemtimePrivilege = clerk"}, // letter case counts
        {Export(otherLine), true, true, PrivilegeEdit::Unchanged, 7, otherLine},
        {Export(clerkLine), false, false, PrivilegeEdit::Unchanged, 7, clerkLine},
        {{"[Unicode]", "Unicode=yes"}, true, false, PrivilegeEdit::NoSection, -1, {}},
        {{}, true, false, PrivilegeEdit::NoSection, -1, {}},
        // The header among the last four lines: the line goes at the end.
        {{"[Unicode]", "[Privilege Rights]", "SeA = x", "SeB = y"},
         true,
         false,
         PrivilegeEdit::Inserted,
         4,
         "SeSystemtimePrivilege = clerk"},
        // A short section followed by another: the line stays inside its section.
        {{"[Privilege Rights]", "SeA = x", "[Version]", "signature=\"$CHICAGO$\"", "Revision=1", "x=1"},
         true,
         false,
         PrivilegeEdit::Inserted,
         2,
         "SeSystemtimePrivilege = clerk"},
    };
    for (Case& c : cases) {
        const QString label = c.lines.join('|');
        EXPECT_EQ(ClockSettingOffIn(c.lines, "clerk"), c.openedOff) << label.toStdString();
        QStringList lines = c.lines;
        EXPECT_EQ(EditClockPrivilege(lines, "clerk", c.wantOff), c.edit) << label.toStdString();
        EXPECT_EQ(FindClockPrivilegeLine(lines), c.line) << label.toStdString();
        if (c.line >= 0) {
            EXPECT_EQ(lines.at(c.line), c.result) << label.toStdString();
        }
        EXPECT_EQ(lines.size(), c.lines.size() + (c.edit == PrivilegeEdit::Inserted ? 1 : 0));
    }
}

TEST(ClockPrivilege, PolicyToolCommands) {
    EXPECT_EQ(ExportPolicyCommand("/sys/"), "/sys/COMMAND.COM /C /sys/secedit /export /cfg /sys/tmpp.inf ");
    EXPECT_EQ(ValidatePolicyCommand("/sys/"), "/sys/COMMAND.COM /C /sys/secedit /validate /sys/tmpp.inf ");
    EXPECT_EQ(ConfigurePolicyCommand("/sys/"),
              "/sys/COMMAND.COM /C /sys/secedit /configure /db /sys/tmpp.sdb /cfg /sys/tmpp.inf ");
}

class ClockSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys.folder = dir.path() + "/";
        sys.user = "clerk";
    }
    QString file(const QString& name) const { return sys.folder + name; }
    // Plays the policy tool: each export writes the given template.
    void exportsAs(const QStringList& lines) {
        sys.version = "WinXP";
        sys.onCommand = [this, lines](const QString& command) {
            if (command.contains("/export")) WriteUnicodeFile(file("tmpp.inf"), LinesText(lines), true);
            return true;
        };
    }
    QStringList templateLines() const { return TextLines(ReadUnicodeFile(file("tmpp.inf"), true)); }

    QTemporaryDir dir;
    test::FakeSystemServices sys;
};

TEST_F(ClockSwitchTest, PrivilegePathRevokesGrantsAndInserts) {
    struct Case {
        QString line;
        bool openedOff;
        QString message;
        int at;
        QString result;
    } cases[] = {
        {"SeSystemtimePrivilege = *S-1-5-19,*S-1-5-32-544,clerk", false,
         "已关闭修改计算机系统时间权限，请重新启动电脑生效！", 7, "SeSystemtimePrivilege = *S-1-5-19"},
        {"SeSystemtimePrivilege = *S-1-5-19,*S-1-5-32-544", true,
         "已打开修改计算机系统时间权限，请重新启动电脑生效！", 7, "SeSystemtimePrivilege = clerk"},
        {QString(), true, "已打开修改计算机系统时间权限，请重新启动电脑生效！", 9,
         "SeSystemtimePrivilege = clerk"},
    };
    for (const Case& c : cases) {
        exportsAs(Export(c.line));
        sys.commands.clear();
        const bool off = ReadClockSettingOff(sys);
        EXPECT_EQ(off, c.openedOff) << c.line.toStdString();
        int steps = 0;
        const ClockSwitchResult r = SwitchClockSetting(sys, !off, [&] { ++steps; });
        EXPECT_TRUE(r.done);
        EXPECT_EQ(steps, 3); // after writing the template, validating and applying it
        EXPECT_EQ(r.message, c.message);
        const QStringList lines = templateLines();
        ASSERT_EQ(lines.size(), Export(c.line).size() + (c.line.isEmpty() ? 1 : 0));
        EXPECT_EQ(lines.at(c.at), c.result);
        EXPECT_EQ(lines.at(4), "[Privilege Rights]");
        EXPECT_EQ(sys.commands,
                  QStringList({ExportPolicyCommand(sys.folder), ExportPolicyCommand(sys.folder),
                               ValidatePolicyCommand(sys.folder), ConfigurePolicyCommand(sys.folder)}));
        EXPECT_TRUE(sys.slept.isEmpty()); // each command is waited for, no blind sleeps
    }
}

TEST_F(ClockSwitchTest, PrivilegePathWithoutAReadableExport) {
    sys.version = "Win2003";
    for (const QByteArray& content : {QByteArray(), QByteArray("[Privilege Rights]\r\n")}) { // none, unmarked
        QFile::remove(file("tmpp.inf"));
        if (!content.isEmpty()) WriteBytes(file("tmpp.inf"), content);
        EXPECT_TRUE(ReadClockSettingOff(sys));
        const ClockSwitchResult r = SwitchClockSetting(sys, false);
        EXPECT_FALSE(r.done);
        EXPECT_TRUE(r.message.isEmpty());
        EXPECT_EQ(ReadBytes(file("tmpp.inf")), content); // nothing written
        EXPECT_EQ(sys.commands.filter("/validate").size(), 0);
    }
}

TEST_F(ClockSwitchTest, ControlPanelFileIsRenamed) {
    sys.version = "Win2000";
    WriteBytes(file("Timedate.sys"), "cpl");
    EXPECT_TRUE(ReadClockSettingOff(sys));
    ClockSwitchResult r = SwitchClockSetting(sys, false);
    EXPECT_TRUE(r.done);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_TRUE(QFile::exists(file("Timedate.cpl")));
    EXPECT_FALSE(QFile::exists(file("Timedate.sys")));
    EXPECT_FALSE(ReadClockSettingOff(sys));

    sys.version = "Unknown";
    r = SwitchClockSetting(sys, true);
    EXPECT_TRUE(r.done);
    EXPECT_EQ(ReadBytes(file("Timedate.sys")), "cpl");
    r = SwitchClockSetting(sys, true); // nothing left to rename: reported
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.message, "设置系统出错！");
    EXPECT_TRUE(sys.commands.isEmpty());

    QFile::rename(file("Timedate.sys"), file("TIMEDATE.SYS")); // names are matched ignoring case
    EXPECT_TRUE(ReadClockSettingOff(sys));
    EXPECT_TRUE(SwitchClockSetting(sys, false).done);
    EXPECT_EQ(ReadBytes(file("Timedate.cpl")), "cpl");
}
