// The real program under a virtual X server with a window manager: the captions the window
// manager receives are the windows' own, with nothing appended.
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "support/clirunner.h"
#include "support/qtprinters.h"
#include "support/xsession.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

void SetCompany(const QString& data, const QString& company) {
    DataSet setup;
    setup.open(data + QStringLiteral("/SysSetup.Dat"));
    setup.edit();
    setup.setValue(QStringLiteral("CompanyName"), company);
    setup.post();
}

} // namespace

TEST(Captions, WindowManagerReceivesTheWindowsOwnCaptions) {
    const QString app = test::AppProgram();
    ASSERT_TRUE(QFile::exists(app)) << "the built program is missing: " << app.toStdString();
    test::XSession x(QStringLiteral("1280x1024x24"));
    if (x.display().isEmpty())
        GTEST_SKIP() << "no X server: Xvfb could not be started here (" << x.startError().toStdString()
                     << ")";
    ASSERT_TRUE(x.startWindowManager()) << "openbox did not start";

    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString data = home.filePath(QStringLiteral("Data"));
    CreateMissingDataFiles(data + QLatin1Char('/'));
    SetCompany(data, QStringLiteral("示例有限公司"));

    test::Child kaoqin;
    x.start(kaoqin, app, {QStringLiteral("--data"), data}, home.path());
    ASSERT_TRUE(kaoqin.process.waitForStarted(5000)) << kaoqin.process.errorString().toStdString();

    const QString main = x.waitForWindow(QStringLiteral("kaoqin"));
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear";
    EXPECT_EQ(x.titles(main), QStringList({"示例有限公司", "示例有限公司"}));

    // The toolbar's 登录 (the second button) opens the sign-in window; Enter with an empty
    // password brings the refusal's message box.
    x.run("xdotool", {"mousemove", "--window", main, "90", "45", "click", "1"});
    const QString login = x.waitForWindow(QStringLiteral("^请输入密码"), true);
    ASSERT_FALSE(login.isEmpty()) << "the sign-in window did not appear";
    EXPECT_EQ(x.titles(login), QStringList({"请输入密码", "请输入密码"}));
    x.run("xdotool", {"windowfocus", "--sync", login});
    x.run("xdotool", {"key", "Return"});
    const QString box = x.waitForWindow(QStringLiteral("^提示"), true);
    ASSERT_FALSE(box.isEmpty()) << "the message box did not appear";
    EXPECT_EQ(x.titles(box), QStringList({"提示", "提示"}));
    EXPECT_EQ(kaoqin.process.state(), QProcess::Running);
}
