#include "core/shell/operatorinfo.h"
#include "gui/reports/tfmmodify.h"
#include "gui/reports/tfmstat.h"
#include "gui/reports/tfmstatall.h"
#include "gui/shell/tfmmain.h"
#include "modal.h"
#include "support/tempdata.h"

#include <QAction>
#include <QApplication>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QList<QWidget*> Visible(const QMetaObject& kind) {
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->metaObject() == &kind && w->isVisible()) found << w;
    return found;
}

} // namespace

class ReportCommandsTest : public test::DataFolderTest {};

TEST_F(ReportCommandsTest, QueryOpensANewWindowAtEveryUse) {
    TfmMain w;
    CurOperator().Rigth = "7;";
    w.SetLogonState(true);
    w.findChild<QAction*>("MIQuery")->trigger();
    w.findChild<QAction*>("TBQuery")->trigger();
    const QList<QWidget*> windows = Visible(TfmStat::staticMetaObject);
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->font().pixelSize(), w.font().pixelSize()); // the main window's font
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    qDeleteAll(windows);
}

TEST_F(ReportCommandsTest, StatisticsAndCorrectionOpenModally) {
    TfmMain w;
    CurOperator().Rigth = "4;8;";
    w.SetLogonState(true);
    for (const char* command : {"MIStat", "TBStat"}) {
        test::OnNextModal<TfmStatAll>([&](TfmStatAll* d) {
            EXPECT_EQ(d->font().family(), w.font().family());
            d->close();
        });
        w.findChild<QAction*>(command)->trigger();
    }
    test::OnNextModal<TfmModify>([](TfmModify* d) { d->close(); });
    w.findChild<QAction*>("MIEditData")->trigger();
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_TRUE(Visible(TfmStatAll::staticMetaObject).isEmpty()); // freed when closed
    EXPECT_TRUE(Visible(TfmModify::staticMetaObject).isEmpty());
}
