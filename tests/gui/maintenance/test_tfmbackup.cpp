#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfmbackup.h"
#include "gui/maintenance/tfminform.h"
#include "gui/punch/tfmbrush.h"
#include "gui/shell/tfmmain.h"
#include "gui/widgets/findform.h"
#include "support/archivebytes.h"
#include "support/gui/guifakes.h"
#include "support/tempdata.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <gtest/gtest.h>

using namespace kq;

class BackupWindowTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        CurOperator().Rigth = QStringLiteral("5;6;");
    }
    void trigger(TfmMain& w, const char* name) { w.findChild<QAction*>(QLatin1String(name))->trigger(); }
    int rows() { return countRows("select count(*) from WorkList"); }

    QTemporaryDir outside;
};

TEST_F(BackupWindowTest, BackupAndRestoreRunFromTheMenuAndToolbar) {
    TfmMain w;
    ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {"2024-03-01", "张三"});
    const QString archive = outside.filePath("kq.bak");
    test::guiFakes().files->saveAnswers = {outside.filePath("kq")}; // the default extension is added
    trigger(w, "TBBackup");
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"数据备份成功！"}));
    EXPECT_EQ(fakes->prompter->boxes[0].icon, Prompter::Icon::Information);
    ASSERT_TRUE(QFile::exists(archive));

    ExecSql("delete from WorkList");
    test::guiFakes().files->openAnswers = {archive};
    trigger(w, "MIRestore");
    EXPECT_EQ(fakes->prompter->lastText(), "数据恢复成功！");
    EXPECT_EQ(rows(), 1);

    // A broken archive: the component's error, then the command's failure; the data stays.
    ExecSql("delete from WorkList");
    QByteArray cut = test::ReadAll(archive);
    cut.chop(20);
    test::WriteAll(archive, cut);
    fakes->prompter->boxes.clear();
    test::guiFakes().files->openAnswers = {archive};
    trigger(w, "MIRestore");
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"Cannot read file", "数据恢复出错或中断！"}));
    EXPECT_EQ(fakes->prompter->boxes[1].icon, Prompter::Icon::Error);
    EXPECT_EQ(rows(), 0);
}

TEST_F(BackupWindowTest, RestoreClosesTheWindowsThatHoldDataAndThePunchWindowReadsItAgain) {
    writeDayShifts();
    TfmMain w;
    const QString archive = outside.filePath("kq.bak");
    test::guiFakes().files->saveAnswers = {archive};
    trigger(w, "MIBackup");
    ASSERT_TRUE(QFile::exists(archive));

    writeShifts({{1, QStringLiteral("全天"), QStringLiteral("08:00:00"), QStringLiteral("17:00:00"), true,
                  true, true}});
    TfmBrush brush; // hidden behind the main window, as after its return button
    ASSERT_EQ(brush.brushInfo().size(), 1);
    TfmInform* notices = ShowSingle<TfmInform>(&w);
    ASSERT_TRUE(notices->isVisible());

    test::guiFakes().files->openAnswers = {archive};
    trigger(w, "MIRestore");
    EXPECT_EQ(fakes->prompter->lastText(), "数据恢复成功！");
    EXPECT_FALSE(notices->isVisible()); // its rows were of the replaced data
    EXPECT_EQ(brush.brushInfo().size(), 2);
}

TEST_F(BackupWindowTest, CancelledDialogsAndTheGateShowNothingElse) {
    TfmMain w;
    trigger(w, "MIBackup"); // no answers: both dialogs are cancelled
    trigger(w, "MIRestore");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
    EXPECT_EQ(test::guiFakes().files->captions, QStringList({"数据备份", "数据恢复"}));

    CurOperator().Rigth = QStringLiteral("0;");
    trigger(w, "MIBackup");
    trigger(w, "MIRestore");
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"请先登陆！", "请先登陆！"}));
    EXPECT_EQ(test::guiFakes().files->captions.size(), 2);
}

TEST_F(BackupWindowTest, FloppyBackupWarnsFirstAndAFailedWriteIsAFailure) {
    TfmMain w;
    test::guiFakes().files->saveAnswers = {"A:/no such folder/kq.bak"};
    trigger(w, "MIBackup");
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"请在软盘驱动器A:中插入空白磁盘！",
                                                     "Cannot write to archive", "数据备份出错或中断！"}));
}

TEST_F(BackupWindowTest, ProgressShowsTheFileWhileBelowOneHundred) {
    TfmBackup form;
    EXPECT_EQ(form.windowTitle(), "数据备份");
    EXPECT_EQ(form.findChild<QProgressBar*>("ProgressBar1")->maximum(), 100);
    bool go = true;
    struct Step {
        const char* file;
        int percent;
        bool barVisible;
        const char* label;
    };
    form.show();
    for (const Step s : {Step{"", 0, true, ""},
                         {"/d/worklist.db", 42, true, "/d/worklist.db"},
                         {"", 100, false, ""},
                         {"/d/x.dat", 100, false, ""}}) {
        form.backupFile().OnProgress(&form.backupFile(), s.file, TPercentage(s.percent), go);
        EXPECT_EQ(form.findChild<QProgressBar*>("ProgressBar1")->isVisible(), s.barVisible) << s.percent;
        if (s.barVisible) {
            EXPECT_EQ(form.findChild<QProgressBar*>("ProgressBar1")->value(), s.percent);
        }
        EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), s.label);
    }
    EXPECT_TRUE(go);
}

TEST_F(BackupWindowTest, WorkRunsOnAThreadOfItsOwnFeedingTheWindowAndPassingOnItsError) {
    TfmBackup form;
    form.show();
    QThread* ranOn = nullptr;
    form.runWork([&] {
        ranOn = QThread::currentThread();
        bool go = true;
        form.backupFile().OnProgress(&form.backupFile(), "/d/worklist.db", 42, go);
    });
    EXPECT_NE(ranOn, QThread::currentThread());
    EXPECT_EQ(form.findChild<QProgressBar*>("ProgressBar1")->value(), 42);
    EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), QDir::toNativeSeparators("/d/worklist.db"));
    EXPECT_THROW(form.runWork([] { throw KqError("broken"); }), KqError);
}
