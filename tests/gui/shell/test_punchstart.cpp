#include "data/dataset.h"
#include "punch/tfmbrush.h"
#include "shell/startup.h"
#include "shell/tfmmain.h"
#include "tempdata.h"
#include "widgets/findform.h"

#include <QAction>
#include <QTimer>
#include <QToolButton>
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
    QTimer::singleShot(2000, [] { QCoreApplication::exit(1); });
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
