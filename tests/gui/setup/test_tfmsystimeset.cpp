#include "core/data/syssetup.h"
#include "core/setup/clockcontrol.h"
#include "core/setup/unicodefile.h"
#include "gui/setup/tfmsystimeset.h"
#include "support/gui/findchild.h"
#include "support/tempdata.h"
#include "support/testhelpers.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kq;

namespace {

using test::ReadBytes;

} // namespace

class SysTimeSetTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        fakes->system->folder = system.path() + "/";
        fakes->system->user = "clerk";
    }
    template <typename T = QWidget> T* w(TfmSysTimeSet& f, const char* name) {
        T* c = f.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    bool applyEnabled(TfmSysTimeSet& f) { return w<QPushButton>(f, "BtnApply")->isEnabled(); }
    // Clicks the box on its indicator, as the user does (the centre of a wide box is no hit).
    void click(TfmSysTimeSet& f, const char* box) {
        QCheckBox* b = w<QCheckBox>(f, box);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->height() / 2, b->height() / 2));
    }
    void touch(const QString& name) {
        QFile f(system.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QTemporaryDir system;
};

TEST_F(SysTimeSetTest, DoubleSwipeIntervalShownAndStored) {
    TfmSysTimeSet f;
    f.show();
    auto* interval = w<QSpinBox>(f, "DoubleSwipeEdit");
    EXPECT_EQ(interval->value(), 0); // off in a folder that never set it
    EXPECT_EQ(interval->text(), "不限制");
    EXPECT_FALSE(applyEnabled(f));
    interval->setValue(30);
    EXPECT_TRUE(applyEnabled(f));
    test::Click(&f, "BtnApply");
    EXPECT_EQ(ReadSysSetup().DoubleSwipeSeconds, 30);
    EXPECT_EQ(ReadSysSetup().CompanyName, "考勤管理系统"); // the rest as it was

    TfmSysTimeSet g;
    g.show();
    EXPECT_EQ(w<QSpinBox>(g, "DoubleSwipeEdit")->value(), 30);
    EXPECT_FALSE(applyEnabled(g));
}

TEST_F(SysTimeSetTest, OpeningShowsTheSettingsAndApplyStoresThem) {
    TfmSysTimeSet f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "系统设置");
    EXPECT_EQ(w<QLineEdit>(f, "DBEdit1")->text(), "考勤管理系统");
    EXPECT_FALSE(w<QCheckBox>(f, "DBCheckBox1")->isChecked());
    EXPECT_TRUE(w<QCheckBox>(f, "DBCheckBox2")->isChecked());
    EXPECT_FALSE(w<QCheckBox>(f, "CheckBox2")->isChecked()); // no Timedate.sys
    EXPECT_EQ(w<QDateEdit>(f, "DPDate")->date(), QDate(2024, 3, 7));
    EXPECT_EQ(w<QTimeEdit>(f, "TPTime")->time(), QTime(9, 0));
    EXPECT_FALSE(applyEnabled(f));
    EXPECT_TRUE(w<QPushButton>(f, "BtnApply")->isDefault());

    QTest::keyClicks(w<QLineEdit>(f, "DBEdit1"), "X");
    EXPECT_TRUE(applyEnabled(f));
    click(f, "DBCheckBox1");
    click(f, "DBCheckBox2");
    click(f, "CheckBox2");
    click(f, "CheckBox2"); // back at its opening state: nothing is switched
    test::Click(&f, "BtnApply");
    const SysSetupInfo stored = ReadSysSetup();
    EXPECT_EQ(stored.CompanyName, "考勤管理系统X");
    EXPECT_TRUE(stored.StartBrush);
    EXPECT_FALSE(stored.IsBeep);
    EXPECT_FALSE(applyEnabled(f));
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_TRUE(fakes->system->timesSet.isEmpty()); // date and time untouched
    EXPECT_TRUE(fakes->system->commands.isEmpty());
    EXPECT_FALSE(QFile::exists(system.filePath("Timedate.sys")));

    // The name holds forty GBK bytes at most.
    auto* name = w<QLineEdit>(f, "DBEdit1");
    name->setText(QString(20, QChar(0x4E00)));
    QTest::keyClicks(name, "a");
    EXPECT_EQ(name->text(), QString(20, QChar(0x4E00)));
}

TEST_F(SysTimeSetTest, ClosingWithoutApplyLeavesTheFileAlone) {
    const QByteArray before = ReadBytes(path("SysSetup.Dat"));
    {
        TfmSysTimeSet f;
        f.show();
        QTest::keyClicks(w<QLineEdit>(f, "DBEdit1"), "abc");
        click(f, "DBCheckBox1");
        click(f, "CheckBox2");
        w<QPushButton>(f, "BtnClose")->click();
        EXPECT_FALSE(f.isVisible());
    }
    EXPECT_EQ(ReadBytes(path("SysSetup.Dat")), before);
    EXPECT_TRUE(fakes->system->timesSet.isEmpty());
    EXPECT_FALSE(QFile::exists(system.filePath("Timedate.sys")));
}

TEST_F(SysTimeSetTest, TimePickerFollowsTheClockUntilEditedAndApplySetsIt) {
    TfmSysTimeSet f;
    f.show();
    auto* timer = f.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    fakes->clock->current = fakes->clock->current.addSecs(5);
    test::Tick(&f, "Timer1");
    EXPECT_EQ(w<QTimeEdit>(f, "TPTime")->time(), QTime(9, 0, 5));
    EXPECT_FALSE(applyEnabled(f)); // the clock's own ticks change nothing

    w<QTimeEdit>(f, "TPTime")->setTime(QTime(10, 30));
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(applyEnabled(f));
    fakes->system->setTimeSucceeds = false; // refused, say for lack of privilege
    test::Click(&f, "BtnApply");
    EXPECT_EQ(fakes->system->timesSet, QList<QDateTime>({QDateTime(QDate(2024, 3, 7), QTime(10, 30))}));
    EXPECT_TRUE(applyEnabled(f));
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"系统时间未能修改：设置系统时钟需要相应的权限。"}));
    EXPECT_EQ(fakes->prompter->boxes[0].title, "提示");

    fakes->system->setTimeSucceeds = true;
    w<QDateEdit>(f, "DPDate")->setDate(QDate(2024, 5, 1));
    test::Click(&f, "BtnApply");
    EXPECT_EQ(fakes->system->timesSet.last(), QDateTime(QDate(2024, 5, 1), QTime(10, 30)));
    EXPECT_FALSE(applyEnabled(f));

    click(f, "DBCheckBox1"); // a later Apply for the settings leaves the clock alone
    test::Click(&f, "BtnApply");
    EXPECT_EQ(fakes->system->timesSet.size(), 2);
}

TEST_F(SysTimeSetTest, ControlPanelFileSwitch) {
    fakes->system->version = "Win2000";
    touch("Timedate.sys");
    TfmSysTimeSet f;
    EXPECT_TRUE(w<QCheckBox>(f, "CheckBox2")->isChecked());
    click(f, "CheckBox2");
    test::Click(&f, "BtnApply");
    EXPECT_TRUE(QFile::exists(system.filePath("Timedate.cpl")));
    EXPECT_FALSE(QFile::exists(system.filePath("Timedate.sys")));
    EXPECT_FALSE(applyEnabled(f));
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());

    // Applying a name change afterwards does not switch again; ticking the box back does.
    QTest::keyClicks(w<QLineEdit>(f, "DBEdit1"), "X");
    test::Click(&f, "BtnApply");
    EXPECT_TRUE(QFile::exists(system.filePath("Timedate.cpl")));
    click(f, "CheckBox2");
    test::Click(&f, "BtnApply");
    EXPECT_TRUE(QFile::exists(system.filePath("Timedate.sys")));

    // A rename that cannot be made is reported and Apply stays enabled.
    QFile::remove(system.filePath("Timedate.sys"));
    click(f, "CheckBox2");
    test::Click(&f, "BtnApply");
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].title, "提示");
    EXPECT_EQ(fakes->prompter->boxes[0].text, "设置系统出错！");
    EXPECT_TRUE(applyEnabled(f));
}

TEST_F(SysTimeSetTest, PrivilegeSwitchThroughThePolicyTool) {
    fakes->system->version = "WinXP";
    const QString inf = system.filePath("tmpp.inf");
    QStringList exported = {"[Unicode]", "Unicode=yes", "[Privilege Rights]",
                            "SeSystemtimePrivilege = *S-1-5-19,*S-1-5-32-544,clerk",
                            "SeShutdownPrivilege = *S-1-5-32-544"};
    // The tool exports the current policy and applies the template on configure.
    fakes->system->onCommand = [&](const QString& command) {
        if (command.contains("/export")) WriteUnicodeFile(inf, LinesText(exported), true);
        if (command.contains("/configure")) exported = TextLines(ReadUnicodeFile(inf, true));
        return true;
    };
    TfmSysTimeSet f;
    EXPECT_FALSE(w<QCheckBox>(f, "CheckBox2")->isChecked()); // clerk holds the privilege
    EXPECT_EQ(fakes->system->commands, QStringList({ExportPolicyCommand(fakes->system->folder)}));
    click(f, "CheckBox2");
    test::Click(&f, "BtnApply");
    EXPECT_EQ(fakes->prompter->lastText(), "已关闭修改计算机系统时间权限，请重新启动电脑生效！");
    EXPECT_EQ(exported.at(3), "SeSystemtimePrivilege = *S-1-5-19");
    EXPECT_EQ(fakes->system->commands.size(), 4);

    // Applying again for another setting keeps the privilege as the box shows it.
    click(f, "DBCheckBox2");
    test::Click(&f, "BtnApply");
    EXPECT_EQ(exported.at(3), "SeSystemtimePrivilege = *S-1-5-19");
    EXPECT_EQ(fakes->prompter->boxes.size(), 1);

    click(f, "CheckBox2");
    test::Click(&f, "BtnApply");
    EXPECT_EQ(fakes->prompter->lastText(), "已打开修改计算机系统时间权限，请重新启动电脑生效！");
    EXPECT_EQ(exported.at(3), "SeSystemtimePrivilege = clerk");
}
