#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "core/shell/operatorinfo.h"
#include "gui/platform/guiservices.h"
#include "gui/shell/tfmabout.h"
#include "gui/shell/tfmmain.h"
#include "gui/widgets/formexists.h"
#include "support/gui/guifakes.h"
#include "support/tempdata.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QStringList MenuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

void Trigger(QWidget& w, const char* name) {
    QAction* a = w.findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(a, nullptr) << name;
    a->trigger();
}

} // namespace

class MainWindowTest : public test::DataFolderTest {};

TEST_F(MainWindowTest, MenusToolbarStatusAndCaption) {
    TfmMain w;
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(MenuTexts(menus[0]->menu()),
              QStringList({"刷卡(&B)", "登录(&L)", "注销(&O)", "密码修改(&M)", "-", "退出(&X)"}));
    EXPECT_EQ(MenuTexts(menus[1]->menu()), QStringList({"人员设置(&E)", "班时设置(&T)", "未到原因(&W)",
                                                        "节假日与调休(&H)", "-", "系统设置(&S)"}));
    EXPECT_EQ(MenuTexts(menus[2]->menu()), QStringList({"修改数据(&C)", "修改记录(&L)", "编辑公告(&G)", "-",
                                                        "数据备份(&B)", "数据恢复(&T)", "数据删除(&D)"}));
    EXPECT_EQ(MenuTexts(menus[3]->menu()), QStringList({"考勤查询(&S)", "考勤统计(&Q)"}));
    EXPECT_EQ(MenuTexts(menus[4]->menu()), QStringList({"系统帮助(&H)", "-", "关于...(&A)"}));
    QStringList tools;
    for (QAction* a : w.findChild<QToolBar*>()->actions())
        tools << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(tools,
              QStringList({"刷卡", "-", "登录", "数据备份", "-", "考勤查询", "考勤统计", "-", "退出"}));
    EXPECT_FALSE(w.findChild<QAction*>("MILogOut")->isEnabled());
    EXPECT_FALSE(w.findChild<QAction*>("MIModiPwd")->isEnabled());
    EXPECT_EQ(w.findChild<QLabel*>("StatusPanel0")->text(), "当前时间");
    EXPECT_EQ(w.findChild<QLabel*>("StatusPanel1")->text(), "2024年03月07日");
    EXPECT_EQ(w.windowTitle(), "考勤管理系统");
}

TEST_F(MainWindowTest, CreationRemovesRowsWithoutAName) {
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-01", ""});
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-01", "张三"});
    TfmMain w;
    EXPECT_EQ(countRows("select count(*) from WorkList"), 1);
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
}

TEST_F(MainWindowTest, MissingSettingsSkipTheRestButTheWindowOpens) {
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-01", ""});
    QFile::remove(path("SysSetup.Dat"));
    TfmMain w;
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "error");
    EXPECT_TRUE(fakes->prompter->boxes[0].text.contains("SysSetup.Dat"));
    EXPECT_EQ(countRows("select count(*) from WorkList"), 1); // the cleanup step was skipped
    EXPECT_EQ(w.findChild<QLabel*>("StatusPanel1")->text(), "2024年03月07日");
}

TEST_F(MainWindowTest, FailingStatementIsReported) {
    CloseKQDataBase();
    TfmMain w;
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "error");
    EXPECT_EQ(w.windowTitle(), "考勤管理系统");
    OpenKQDataBase(DataFolder());
}

TEST_F(MainWindowTest, RightsGate) {
    TfmMain w;
    const char* gated[] = {"MIEmployeeSet", "MIShiftSet", "MISetLeaveType", "MICalendar",
                           "MISysSet",      "MIEditData", "MIAuditLog",     "MIInform",
                           "MIBackup",      "MIRestore",  "MIDelete",       "MIQuery",
                           "MIStat",        "TBBackup",   "TBQuery",        "TBStat"};
    for (const char* name : gated) {
        fakes->prompter->boxes.clear();
        Trigger(w, name);
        ASSERT_EQ(fakes->prompter->boxes.size(), 1) << name;
        EXPECT_EQ(fakes->prompter->boxes[0].text, "请先登陆！") << name;
        EXPECT_EQ(fakes->prompter->boxes[0].title, "提示");
    }
    // Signed in with only function 10: the period deletion passes, 0, 1 and 3 are refused.
    CurOperator().Rigth = "10;";
    w.SetLogonState(true);
    EXPECT_FALSE(w.findChild<QAction*>("MILogIn")->isEnabled());
    EXPECT_TRUE(w.findChild<QAction*>("TBLogIn")->isEnabled());
    EXPECT_TRUE(w.Gate(FuncDelete));
    for (int f : {FuncEmployee, FuncShift, FuncSystem}) {
        fakes->prompter->boxes.clear();
        EXPECT_FALSE(w.Gate(f));
        EXPECT_EQ(fakes->prompter->lastText(), "无此权限！");
    }
    // Sign-out empties the rights and brings back the first wording.
    Trigger(w, "MILogOut");
    EXPECT_TRUE(CurOperator().Rigth.isEmpty());
    EXPECT_TRUE(w.findChild<QAction*>("MILogIn")->isEnabled());
    EXPECT_FALSE(w.findChild<QAction*>("MILogOut")->isEnabled());
    fakes->prompter->boxes.clear();
    EXPECT_FALSE(w.Gate(FuncDelete));
    EXPECT_EQ(fakes->prompter->lastText(), "请先登陆！");
}

TEST(HasRight, TableOfCases) {
    struct Case {
        const char* rights;
        int function;
        bool granted;
    } cases[] = {{"10;", 10, true},     {"10;", 0, false}, {"10;", 1, false},     {"0;1;2;", 2, true},
                 {"0;1;2;", 10, false}, {"", 0, false},    {"0;1;7;8;", 7, true}, {"1", 1, true}};
    for (const Case& c : cases)
        EXPECT_EQ(HasRight(c.rights, c.function), c.granted) << c.rights << " " << c.function;
}

TEST(TileOrigins, CoverTheClientArea) {
    const QList<QPoint> tiles = TileOrigins(QSize(64, 48), QSize(509, 100));
    EXPECT_EQ(tiles.size(), (100 / 48 + 1) * (509 / 64 + 1));
    EXPECT_EQ(tiles.first(), QPoint(0, 0));
    EXPECT_EQ(tiles.at(1), QPoint(64, 0)); // row by row
    EXPECT_GE(tiles.last().x() + 64, 509);
    EXPECT_GE(tiles.last().y() + 48, 100);
    EXPECT_EQ(TileOrigins(QSize(600, 48), QSize(509, 100)).size(), 3); // one per row when wider
}

TEST_F(MainWindowTest, HelpAndAbout) {
    TfmMain w;
    Trigger(w, "MIHelp");
    EXPECT_TRUE(fakes->prompter->lastText().startsWith("找不到帮助文件"));
    // The HTML manual when one is installed; Help.chm in the data folder wins over it.
    QFile manual(dir.filePath("index.html"));
    manual.open(QIODevice::WriteOnly);
    manual.close();
    test::guiFakes().desktop->manual = manual.fileName();
    Trigger(w, "MIHelp");
    QFile help(path("Help.chm"));
    help.open(QIODevice::WriteOnly);
    help.close();
    Trigger(w, "MIHelp");
    EXPECT_EQ(test::guiFakes().desktop->opened, QStringList({manual.fileName(), path("Help.chm")}));
    QString folderText, engineText;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible()) {
                folderText = d->findChild<QLabel*>("DataFolderLabel")->text();
                engineText = d->findChild<QLabel*>("DatabaseLabel")->text();
                d->accept();
            }
    });
    Trigger(w, "MIAbout");
    EXPECT_EQ(folderText, "数据文件夹：" + QDir::toNativeSeparators(DataFolder())); // the folder in use
    EXPECT_EQ(engineText, "数据库：SQLite");
    // With a server, the About box names it, never its password.
    SetEngine({EngineKind::PostgreSQL, ParseServerUrl("postgresql://kq:pw@db.example:6000/kaoqin")});
    TfmAbout about;
    EXPECT_EQ(about.findChild<QLabel*>("DatabaseLabel")->text(),
              "数据库：PostgreSQL kq@db.example:6000/kaoqin");
    SetEngine({});
}

TEST(Manual, FoundInstalledOrBesideTheProgram) {
    QTemporaryDir dir;
    const auto make = [&](const QString& file) {
        QDir().mkpath(QFileInfo(dir.filePath(file)).path());
        QFile f(dir.filePath(file));
        f.open(QIODevice::WriteOnly);
    };
    make("usr/bin/kaoqin");
    make("usr/share/kaoqin/manual/index.html");
    make("portable/manual/index.html");
    QDir().mkpath(dir.filePath("bare"));
    EXPECT_EQ(FindManual(dir.filePath("usr/bin")), dir.filePath("usr/share/kaoqin/manual/index.html"));
    EXPECT_EQ(FindManual(dir.filePath("portable")), dir.filePath("portable/manual/index.html"));
    EXPECT_EQ(FindManual(dir.filePath("bare")), QString());
}

TEST(FormExists, FreedAndSubclassWindowsDoNotCount) {
    auto* dialog = new QDialog;
    EXPECT_TRUE(FormExists<QDialog>(dialog));
    EXPECT_FALSE(FormExists<QWidget>(dialog)); // exact class only
    delete dialog;
    EXPECT_FALSE(FormExists<QDialog>(dialog));
}
