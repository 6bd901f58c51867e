#include "core/data/syssetup.h"
#include "core/shell/operatorinfo.h"
#include "gui/setup/tfmcalendar.h"
#include "gui/setup/tfmsettime.h"
#include "gui/setup/tfmsystimeset.h"
#include "gui/shell/tfmmain.h"
#include "support/tempdata.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kq;

class MainSetupCommandsTest : public test::DataFolderTest {};

TEST_F(MainSetupCommandsTest, ShiftAndSettingsWindowsOpenModallyAndAreFreed) {
    TfmMain w;
    CurOperator().Rigth = "1;3;";
    w.SetLogonState(true);
    struct Case {
        const char* action;
        const QMetaObject* window;
        const char* title;
    } cases[] = {{"MIShiftSet", &TfmSetTime::staticMetaObject, "设置班间"},
                 {"MISysSet", &TfmSysTimeSet::staticMetaObject, "系统设置"},
                 {"MICalendar", &TfmCalendar::staticMetaObject, "节假日与调休"}};
    for (const Case& c : cases) {
        QString title;
        bool modal = false;
        const QMetaObject* seen = nullptr;
        QTimer::singleShot(0, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible()) {
                    seen = d->metaObject();
                    title = d->windowTitle();
                    modal = d->isModal();
                    d->reject();
                }
        });
        w.findChild<QAction*>(c.action)->trigger();
        EXPECT_EQ(seen, c.window) << c.action;
        EXPECT_EQ(title, c.title);
        EXPECT_TRUE(modal);
        for (QWidget* top : QApplication::topLevelWidgets())
            EXPECT_NE(top->metaObject(), c.window) << c.action;
    }
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());

    // A new company name becomes the caption of the next main window.
    WriteSysSetup({false, "新公司", true});
    TfmMain next;
    EXPECT_EQ(next.windowTitle(), "新公司");
}
