#include "core/data/dataset.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfmdelete.h"
#include "gui/punch/tfmbrush.h"
#include "gui/reports/tfmstat.h"
#include "gui/shell/startup.h"
#include "gui/shell/tfmmain.h"
#include "gui/widgets/findform.h"
#include "support/tempdata.h"

#include <QAction>
#include <QCloseEvent>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kq;

namespace {

int Windows(const QMetaObject& kind) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->metaObject() == &kind;
    return n;
}

// Runs the event loop with action queued; the result is the loop's exit code, 1 when nothing
// ended it within two seconds.
int RunLoop(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    // The guard against a loop that never ends goes with this loop, so that it never ends a later one.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(2000);
    return QApplication::exec();
}

} // namespace

class PunchStartTest : public test::DataFolderTest {
protected:
    void TearDown() override {
        delete FindForm<TfmBrush>();
        delete FindForm<TfmMain>();
        test::DataFolderTest::TearDown();
    }
};

TEST_F(PunchStartTest, MainWindowCommandOpensOneHidingPunchWindow) {
    TfmMain main;
    main.show();
    main.findChild<QAction*>("MIBrush")->trigger();
    TfmBrush* brush = FindForm<TfmBrush>();
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(brush->isVisible());
    EXPECT_FALSE(main.isVisible());

    // The return button stops the clock, shows the main window and hides the punch window.
    brush->findChild<QToolButton*>("FlatSpeedButton1")->click();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(brush->isVisible());
    EXPECT_FALSE(brush->findChild<QTimer*>("Timer1")->isActive());
    EXPECT_EQ(Windows(TfmMain::staticMetaObject), 1);

    main.findChild<QAction*>("TBBrush")->trigger();
    EXPECT_EQ(FindForm<TfmBrush>(), brush);
    EXPECT_EQ(Windows(TfmBrush::staticMetaObject), 1);
    EXPECT_TRUE(brush->isVisible());
    EXPECT_TRUE(brush->findChild<QTimer*>("Timer1")->isActive()); // shown again: FormShow ran

    // Opened from the main window, closing only hides it.
    EXPECT_FALSE(brush->close());
    EXPECT_EQ(FindForm<TfmBrush>(), brush);
    EXPECT_FALSE(brush->isVisible());
    EXPECT_TRUE(main.isVisible());
    main.findChild<QAction*>("MIBrush")->trigger();
    EXPECT_TRUE(brush->isVisible());

    // Closing the main window closes the punch window as well.
    main.close();
    EXPECT_FALSE(brush->isVisible());
}

TEST_F(PunchStartTest, FirstWindowFollowsStartBrush) {
    std::unique_ptr<QWidget> plain(CreateFirstWindow(false));
    EXPECT_NE(qobject_cast<TfmMain*>(plain.get()), nullptr);
    plain.reset();

    std::unique_ptr<QWidget> first(CreateFirstWindow(true));
    ASSERT_NE(qobject_cast<TfmBrush*>(first.get()), nullptr);
    first->show();
    EXPECT_EQ(FindForm<TfmMain>(), nullptr); // no main window until the punch window returns to it

    first->findChild<QToolButton*>("FlatSpeedButton1")->click();
    TfmMain* main = FindForm<TfmMain>();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    main->findChild<QAction*>("MIBrush")->trigger();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(Windows(TfmBrush::staticMetaObject), 1);
}

TEST_F(PunchStartTest, ClosingTheStartingPunchWindowEndsTheProgram) {
    std::unique_ptr<QWidget> first(CreateFirstWindow(true));
    first->show();
    EXPECT_EQ(RunLoop([&] { first->close(); }), 0);
    ASSERT_NE(FindForm<TfmMain>(), nullptr); // the close ran the return steps first
    delete FindForm<TfmMain>();

    // Once it has returned to the main window, closing the main window ends the program too.
    first->show();
    first->findChild<QToolButton*>("FlatSpeedButton1")->click();
    EXPECT_EQ(RunLoop([] { FindForm<TfmMain>()->close(); }), 0);
}

TEST_F(PunchStartTest, OpeningThePunchScreenSignsOutAndClosesTheAdministration) {
    TfmMain main;
    main.show();
    CurOperator().Name = "管理员";
    CurOperator().Rigth = "0;7;10;";
    main.SetLogonState(true);
    main.findChild<QAction*>("MIDelete")->trigger();
    main.findChild<QAction*>("MIQuery")->trigger();
    ASSERT_TRUE(FindForm<TfmDelete>() && FindForm<TfmDelete>()->isVisible());
    ASSERT_EQ(main.findChildren<TfmStat*>().size(), 1);

    main.findChild<QAction*>("MIBrush")->trigger();
    TfmBrush* brush = FindForm<TfmBrush>();
    ASSERT_TRUE(brush && brush->isVisible());
    EXPECT_TRUE(CurOperator().Rigth.isEmpty());
    EXPECT_FALSE(main.signedIn());
    EXPECT_TRUE(main.findChild<QAction*>("MILogIn")->isEnabled());
    EXPECT_FALSE(main.findChild<QAction*>("MILogOut")->isEnabled());
    EXPECT_FALSE(FindForm<TfmDelete>()->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.findChildren<TfmStat*>().isEmpty());

    // The next person at the station who takes the return arrow finds every command gated.
    brush->findChild<QToolButton*>("FlatSpeedButton1")->click();
    ASSERT_TRUE(main.isVisible());
    for (const char* command : {"MIEmployeeSet", "MIDelete", "MIQuery"}) {
        fakes->prompter->boxes.clear();
        main.findChild<QAction*>(command)->trigger();
        EXPECT_EQ(fakes->prompter->texts(), QStringList({"请先登陆！"})) << command;
    }
    EXPECT_FALSE(FindForm<TfmDelete>()->isVisible());
}

TEST_F(PunchStartTest, TheWindowSystemsCloseOnlyReturnsToTheMainWindow) {
    std::unique_ptr<QWidget> first(CreateFirstWindow(true));
    first->show();
    // The close command of a window manager that offers one despite the hints: the return steps,
    // and the program keeps running.
    EXPECT_EQ(RunLoop([&] {
                  QCloseEvent close; // as the window system delivers it to the native window
                  QCoreApplication::sendEvent(first->windowHandle(), &close);
                  QTimer::singleShot(100, [] { QCoreApplication::exit(7); });
              }),
              7);
    EXPECT_FALSE(first->isVisible());
    ASSERT_NE(FindForm<TfmMain>(), nullptr);
    EXPECT_TRUE(FindForm<TfmMain>()->isVisible());
}
