#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/engine.h"
#include "gui/punch/punchbanner.h"
#include "gui/punch/tfmbrush.h"
#include "gui/shell/tfmmain.h"
#include "gui/widgets/findform.h"
#include "gui/widgets/led.h"
#include "support/gui/findchild.h"
#include "support/pgcluster.h"
#include "support/tempdata.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kq;

class BrushTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeDayShifts();
        writeEmployees({{"张三", false, "", 4, 1, 0, "A100"}});
    }
    void TearDown() override {
        delete FindForm<TfmMain>();
        test::DataFolderTest::TearDown();
    }
    void setBeep(bool on) {
        DataSet ds;
        ds.open(path("SysSetup.Dat"));
        ds.edit();
        ds.setValue("IsBeep", on);
        ds.post();
        ds.close();
    }
    void addNotice(const QString& date, const QString& text) {
        ExecSql("insert into Inform (WDate, Inform) values (?, ?)", {date, text});
    }

    template <typename T> static T* child(const QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QStringList lines(const QWidget& w) {
        QStringList out;
        auto* list = child<QListWidget>(w, "ListBox1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static void swipe(const QWidget& w, const QString& card) {
        auto* edit = child<QLineEdit>(w, "FlatEdit1");
        QTest::keyClicks(edit, card);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

TEST_F(BrushTest, CreationBuildsTheSlotsAndShowingStartsTheClock) {
    TfmBrush w;
    EXPECT_EQ(w.windowTitle(), "请刷卡");
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    auto* combo = child<QComboBox>(w, "FlatComboBoxMod");
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(2), "午班上班");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->maxVisibleItems(), 20);
    EXPECT_EQ(w.slotTable().size(), 4);
    EXPECT_EQ(w.slotTable().last().STime, "17:30:00");
    EXPECT_EQ(child<QLineEdit>(w, "FlatEdit1")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QWidget>(w, "FlatSpeedButton1")->toolTip(), "返回主程序");
    EXPECT_FALSE(child<QTimer>(w, "Timer1")->isActive());

    fakes->clock->current = QDateTime(QDate(2024, 3, 7), QTime(12, 50, 15));
    w.show();
    EXPECT_TRUE(child<QTimer>(w, "Timer1")->isActive());
    EXPECT_EQ(w.windowTitle(), "考勤刷卡       2024年03月07日");
    EXPECT_EQ(child<QLabel>(w, "Label4")->text(), "12:50:15");
    EXPECT_EQ(combo->currentIndex(), 2); // nearer to 13:30 than to 12:00
    EXPECT_EQ(w.tickCount(), 0);
}

TEST_F(BrushTest, LayoutWithAndWithoutTodaysNotice) {
    addNotice("2024-03-06", "{\\rtf1\\ansi Yesterday}");
    {
        TfmBrush w;
        w.show();
        EXPECT_FALSE(w.isMaximized());
        // The result list shows whole lines only, at least its designed 65 pixels' worth.
        auto* list = child<QListWidget>(w, "ListBox1");
        EXPECT_EQ(w.size(), QSize(345 + 20, 193 + list->height()));
        list->addItem("line");
        const int lines = list->viewport()->height() / list->sizeHintForRow(0);
        EXPECT_EQ(list->viewport()->height(), lines * list->sizeHintForRow(0));
        EXPECT_GE(list->height(), 65);
        list->clear();
        EXPECT_FALSE(child<QWidget>(w, "Panel3")->isVisible());
        EXPECT_EQ(child<QWidget>(w, "Panel2")->height(), 193);
        EXPECT_EQ(child<QWidget>(w, "PanelShow")->pos(), QPoint(10, 3));
        const QPoint offCentre = w.frameGeometry().center() - w.screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 4); // centred, give or take rounding
        // A notice arriving later only maximises: the notice area stays hidden.
        addNotice("2024-03-07", "{\\rtf1\\ansi Today first}");
        w.hide();
        w.show();
        EXPECT_TRUE(w.isMaximized());
        EXPECT_FALSE(child<QWidget>(w, "Panel3")->isVisible());
    }
    addNotice("2024-03-07", "{\\rtf1\\ansi Today second}");
    TfmBrush w;
    w.show();
    EXPECT_TRUE(w.isMaximized());
    auto* notice = child<QTextEdit>(w, "DBRichEdit1");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->isReadOnly());
    EXPECT_TRUE(notice->toPlainText().contains("Today first"));
    EXPECT_FALSE(notice->toPlainText().contains("second"));
    const QWidget* base = child<QWidget>(w, "PanelBase");
    const QWidget* show = child<QWidget>(w, "PanelShow");
    EXPECT_EQ(show->x(), (base->width() - 345) / 2);
    EXPECT_EQ(base->height(), 193);
}

TEST_F(BrushTest, SwipesReportOnTopWithSoundAndLamp) {
    TfmBrush w;
    w.show();
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    auto* led = child<Led>(w, "Led");
    auto* timer2 = child<QTimer>(w, "Timer2");
    EXPECT_EQ(led->color(), QColor(0, 255, 0));

    swipe(w, "a100");
    EXPECT_EQ(lines(w), QStringList({"张三 2024-03-07 09:00:00 早班上班"}));
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(led->color(), QColor(255, 0, 0));
    EXPECT_TRUE(timer2->isActive());
    EXPECT_EQ(timer2->interval(), 500);
    EXPECT_EQ(fakes->speaker->tones, (QList<QPair<int, int>>{{4000, 400}}));
    EXPECT_EQ(countRows("select count(*) from WorkList where Name=? and T0='09:00:00'", {"张三"}), 1);
    test::Tick(&w, "Timer2");
    EXPECT_EQ(led->color(), QColor(0, 255, 0));
    EXPECT_FALSE(timer2->isActive());

    fakes->speaker->tones.clear();
    swipe(w, "nobody");
    swipe(w, "A100");
    EXPECT_EQ(lines(w), QStringList({"张三 早班上班已刷过卡!", "**** 磁卡未注册或失效！",
                                     "张三 2024-03-07 09:00:00 早班上班"}));
    EXPECT_EQ(fakes->speaker->tones.size(), 10); // two alarms

    // Blank input does nothing at all.
    test::Tick(&w, "Timer2");
    fakes->speaker->tones.clear();
    swipe(w, "   ");
    EXPECT_EQ(lines(w).size(), 3);
    EXPECT_EQ(edit->text(), "   ");
    EXPECT_EQ(led->color(), QColor(0, 255, 0));
    EXPECT_FALSE(timer2->isActive());
    EXPECT_TRUE(fakes->speaker->tones.isEmpty());
}

TEST_F(BrushTest, SoundSettingOffKeepsLinesAndLamp) {
    setBeep(false);
    TfmBrush w;
    w.show();
    swipe(w, "A100");
    swipe(w, "X");
    EXPECT_EQ(lines(w).size(), 2);
    EXPECT_EQ(child<Led>(w, "Led")->color(), QColor(255, 0, 0));
    EXPECT_TRUE(fakes->speaker->tones.isEmpty());
}

TEST_F(BrushTest, AFailedSwipeIsAnsweredInTheListAndTheNextSwipeIsTaken) {
    writeEmployees({{"张三", false, "", 4, 1, 0, "A100"}, {"李四", false, "", 4, 2, 0, "B200"}});
    TfmBrush w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    // Another process holds WorkList.db longer than the busy wait.
    ExecSql("PRAGMA busy_timeout = 200");
    {
        QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
        locker.setDatabaseName(path("WorkList.db"));
        ASSERT_TRUE(locker.open());
        QSqlQuery(locker).exec("BEGIN EXCLUSIVE");
        ASSERT_TRUE(QSqlQuery(locker).exec("delete from WorkList where 0"));

        swipe(w, "A100");
        ASSERT_EQ(lines(w).size(), 1);
        EXPECT_TRUE(lines(w)[0].startsWith("**** 刷卡未记录：")) << lines(w)[0].toStdString();
        EXPECT_TRUE(lines(w)[0].contains("locked")) << lines(w)[0].toStdString();
        EXPECT_EQ(fakes->speaker->tones.size(), 5); // the alarm
        EXPECT_EQ(edit->text(), "A100");            // kept, selected: the next swipe replaces it
        EXPECT_EQ(edit->selectedText(), "A100");
        EXPECT_TRUE(edit->hasFocus());

        swipe(w, "B200"); // the next person, while the store is still held
        EXPECT_EQ(lines(w).size(), 2);
        EXPECT_TRUE(lines(w)[0].startsWith("**** 刷卡未记录："));
        EXPECT_EQ(edit->text(), "B200");
        QSqlQuery(locker).exec("ROLLBACK");
        locker.close();
    }
    QSqlDatabase::removeDatabase("locker");

    QTest::keyClick(edit, Qt::Key_Return); // Enter alone tries the kept card again
    swipe(w, "A100");
    EXPECT_EQ(lines(w).mid(0, 2),
              QStringList({"张三 2024-03-07 09:00:00 早班上班", "李四 2024-03-07 09:00:00 早班上班"}));
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty()); // no message box ever took a swipe
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
}

TEST_F(BrushTest, NoShiftsStillReportsEveryCard) {
    writeShifts({});
    TfmBrush w;
    w.show();
    EXPECT_EQ(child<QComboBox>(w, "FlatComboBoxMod")->currentIndex(), -1);
    swipe(w, "A100");
    swipe(w, "X");
    const QStringList out = lines(w);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], "**** 磁卡未注册或失效！");
    EXPECT_TRUE(out[1].startsWith("张三 "));
    EXPECT_EQ(fakes->speaker->tones.size(), 10);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);
}

TEST_F(BrushTest, TheSlotListFollowsChangesOfTheShiftsAtTheNextSwipeOrTick) {
    TfmBrush w;
    w.show();
    auto* combo = child<QComboBox>(w, "FlatComboBoxMod");
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    ASSERT_EQ(combo->currentText(), "早班上班");

    // A shift added in front: 早班 now owns T2 and T3, and the swipe goes there.
    writeShifts({{1, "早点", "06:00:00", "07:00:00", true, true, true},
                 {2, "早班", "08:00:00", "12:00:00", true, true, true},
                 {3, "午班", "13:30:00", "17:30:00", true, true, true}});
    swipe(w, "A100");
    EXPECT_EQ(lines(w), QStringList({"张三 2024-03-07 09:00:00 早班上班"}));
    EXPECT_EQ(combo->count(), 6);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(w.slotTable().size(), 6);
    EXPECT_EQ(countRows("select count(*) from WorkList where T2='09:00:00' and T0 is null"), 1);

    // Renamed at a tick: the old label is gone, so the automatic choice picks the slot.
    writeShifts({{1, "早点", "06:00:00", "07:00:00", true, true, true},
                 {2, "白班", "08:00:00", "12:00:00", true, true, true}});
    test::Tick(&w, "Timer1");
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentText(), "白班上班");

    // A damaged file empties the list and says so once; every swipe meanwhile is refused aloud.
    QFile damaged(path("ShiftTime.dat"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("{\"fields\": [");
    damaged.close();
    test::Tick(&w, "Timer1");
    test::Tick(&w, "Timer1");
    ASSERT_EQ(lines(w).size(), 2);
    EXPECT_TRUE(lines(w)[0].startsWith("**** 数据文件格式错误：")) << lines(w)[0].toStdString();
    EXPECT_TRUE(lines(w)[0].contains("ShiftTime.dat"));
    EXPECT_EQ(combo->count(), 0);
    swipe(w, "A100");
    EXPECT_EQ(lines(w).size(), 3);
    EXPECT_TRUE(lines(w)[0].startsWith("**** 刷卡未记录："));
    EXPECT_EQ(edit->text(), "A100");

    writeDayShifts();
    test::Tick(&w, "Timer1");
    EXPECT_EQ(lines(w).size(), 3);
    EXPECT_EQ(combo->count(), 4);
    swipe(w, "A100");
    EXPECT_EQ(lines(w)[0], "张三 2024-03-07 09:00:00 早班上班");
    EXPECT_EQ(countRows("select count(*) from WorkList where T0='09:00:00' and T2='09:00:00'"), 1);
}

TEST_F(BrushTest, ClockTicksAndTheAutomaticChoiceEverySixtyTicks) {
    TfmBrush w;
    w.show();
    auto* combo = child<QComboBox>(w, "FlatComboBoxMod");
    ASSERT_EQ(combo->currentIndex(), 0);
    combo->setCurrentIndex(3); // chosen by hand
    fakes->clock->current = QDateTime(QDate(2024, 3, 8), QTime(9, 0, 59));
    for (int i = 0; i < 59; ++i)
        test::Tick(&w, "Timer1");
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(w.tickCount(), 59);
    EXPECT_EQ(w.windowTitle(), "考勤刷卡       2024年03月08日");
    EXPECT_EQ(child<QLabel>(w, "Label4")->text(), "09:00:59");
    test::Tick(&w, "Timer1");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(w.tickCount(), 0);
}

TEST_F(BrushTest, TheTitleBarOffersNoButtonsAndTheCardFieldGetsTheKeysBack) {
    TfmBrush w;
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint); // the caption shows the date
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags &
                 (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    auto* combo = child<QComboBox>(w, "FlatComboBoxMod");

    // Another window takes the keyboard; activated again, the station gives it to the card field
    // even though the slot list had it last.
    combo->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(edit->hasFocus());

    // A window manager that minimises it all the same gets it back at once.
    w.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isMinimized());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(BrushTest, ArrowKeysMoveTheSlotWithinTheList) {
    TfmBrush w;
    w.show();
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    auto* combo = child<QComboBox>(w, "FlatComboBoxMod");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(combo->currentIndex(), 0);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(combo->currentIndex(), 3);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(combo->currentIndex(), 2);
}

TEST_F(BrushTest, DropDownHoldsTheClockAndFocusReturnsToTheCardField) {
    addNotice("2024-03-07", "Today");
    TfmBrush w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    auto* combo = child<QComboBox>(w, "FlatComboBoxMod");
    auto* timer1 = child<QTimer>(w, "Timer1");
    combo->showPopup();
    EXPECT_FALSE(timer1->isActive());
    combo->hidePopup();
    EXPECT_TRUE(timer1->isActive());
    EXPECT_TRUE(edit->hasFocus());

    child<QWidget>(w, "ListBox1")->setFocus();
    EXPECT_TRUE(edit->hasFocus());
    child<QWidget>(w, "DBRichEdit1")->setFocus();
    EXPECT_TRUE(edit->hasFocus());
    combo->setFocus();
    EXPECT_FALSE(edit->hasFocus());
    test::Tick(&w, "Timer1");
    EXPECT_TRUE(edit->hasFocus());
}

// Destroying the screen closes its slot list, whose report must never reach the handler of a screen
// whose destructor has begun: the sanitizers and Qt's own checks of this test build abort if it does.
TEST_F(BrushTest, DestroyedWithTheSlotListOpenOrClosedInEitherOrder) {
    for (const bool listOpen : {false, true}) {
        for (const bool hiddenFirst : {false, true}) {
            SCOPED_TRACE(testing::Message() << "list open " << listOpen << ", hidden first " << hiddenFirst);
            auto* w = new TfmBrush;
            w->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            auto* combo = child<QComboBox>(*w, "FlatComboBoxMod");
            QSignalSpy destroyed(combo, &QObject::destroyed);
            if (listOpen) combo->showPopup();
            if (hiddenFirst) w->hide();
            delete w;
            EXPECT_EQ(destroyed.count(), 1);
        }
    }
}

class BrushServerTest : public BrushTest {
protected:
    EngineKind engine() const override { return EngineKind::PostgreSQL; }
};

TEST_F(BrushServerTest, AServerThatWentAwayIsNamedOnTheResultLineAndSwipesAreStoredOnceItIsBack) {
    writeEmployees({{"张三", false, "", 4, 1, 0, "A100"}, {"李四", false, "", 4, 2, 0, "B200"}});
    test::PgCluster* cluster = test::PgCluster::shared();
    TfmBrush w;
    w.show();
    auto* edit = child<QLineEdit>(w, "FlatEdit1");
    swipe(w, "A100");
    EXPECT_EQ(lines(w), QStringList({"张三 2024-03-07 09:00:00 早班上班"}));

    cluster->stop();
    const auto restart = qScopeGuard([&] { cluster->start(); });
    const QString failure = "**** 刷卡未记录：数据库服务器 " + CurrentEngine().server.display() + " 不可用：";
    for (const char* card : {"B200", "B200"}) { // the broken connection, then no server at all
        swipe(w, card);
        EXPECT_TRUE(lines(w)[0].startsWith(failure)) << lines(w)[0].toStdString();
        EXPECT_FALSE(lines(w)[0].contains("kq-secret"));
        EXPECT_EQ(edit->text(), "B200");
    }
    test::Tick(&w, "Timer1"); // the clock keeps ticking without a box
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());

    cluster->start();
    QTest::keyClick(edit, Qt::Key_Return); // the kept card, once more
    EXPECT_EQ(lines(w)[0], "李四 2024-03-07 09:00:00 早班上班");
    EXPECT_EQ(lines(w).size(), 4);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.dat", "*.db"}, QDir::Files).isEmpty());
}

TEST_F(BrushTest, TheAnswerInLargeTypeGreenWhenStoredRedWhenRefusedForAFewSeconds) {
    TfmBrush w;
    w.show();
    PunchBanner* banner = w.banner();
    ASSERT_NE(banner, nullptr);
    EXPECT_FALSE(banner->isVisible());
    const auto text = [&](const char* label) { return child<QLabel>(*banner, label)->text(); };

    swipe(w, "a100");
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->stored());
    EXPECT_EQ(text("LabFirst"), "张三");
    EXPECT_EQ(text("LabSecond"), "09:00:00  早班上班");
    EXPECT_TRUE(banner->styleSheet().contains("#009600"));
    EXPECT_EQ(lines(w), QStringList({"张三 2024-03-07 09:00:00 早班上班"})); // the line as before
    // Large type, above the controls, never in the way of the card reader.
    const int screenHeight = w.screen()->geometry().height();
    EXPECT_EQ(child<QLabel>(*banner, "LabFirst")->font().pixelSize(),
              PunchBanner::FirstLineSize(screenHeight));
    EXPECT_LT(banner->geometry().bottom(), w.frameGeometry().top());
    EXPECT_TRUE(banner->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(banner->windowFlags() & Qt::WindowTransparentForInput);
    EXPECT_TRUE(banner->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_NE(QApplication::activeWindow(), banner);

    // Shown for four seconds by the clock.
    fakes->clock->current = fakes->clock->current.addSecs(3);
    test::Tick(banner, "BannerTimer");
    EXPECT_TRUE(banner->isVisible());
    fakes->clock->current = fakes->clock->current.addSecs(1);
    test::Tick(banner, "BannerTimer");
    EXPECT_FALSE(banner->isVisible());

    swipe(w, "A100");
    EXPECT_TRUE(banner->isVisible());
    EXPECT_FALSE(banner->stored());
    EXPECT_EQ(text("LabFirst"), "张三");
    EXPECT_EQ(text("LabSecond"), "早班上班已刷过卡!");
    EXPECT_TRUE(banner->styleSheet().contains("#d20000"));
    swipe(w, "X-77");
    EXPECT_EQ(text("LabFirst"), "卡号 X-77"); // so that the operator can register it
    EXPECT_EQ(text("LabSecond"), "磁卡未注册或失效！");
    EXPECT_EQ(banner->until(), fakes->clock->current.addSecs(PunchBanner::kShownSeconds));

    // Leaving the punch screen takes the answer with it.
    test::Click(&w, "FlatSpeedButton1");
    EXPECT_FALSE(banner->isVisible());
}

TEST(PunchBannerPlacement, AboveTheControlsWithinTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    // The compact station centred on the screen, and the maximised one with its controls low.
    EXPECT_EQ(PunchBanner::Placement(screen, QRect(457, 383, 365, 193), 280), QRect(128, 95, 1024, 280));
    EXPECT_EQ(PunchBanner::Placement(screen, QRect(0, 766, 1280, 193), 280), QRect(128, 478, 1024, 280));
    EXPECT_EQ(PunchBanner::Placement(screen, QRect(0, 100, 1280, 193), 280).top(), 8); // no room above
    EXPECT_EQ(PunchBanner::FirstLineSize(1024), 102);
    EXPECT_EQ(PunchBanner::SecondLineSize(1024), 64);
    EXPECT_EQ(PunchBanner::FirstLineSize(300), 48);
}
