#include "gui/maintenance/tfmbackup.h"

#include "core/maintenance/backupcommands.h"
#include "core/platform/platform.h"
#include "gui/platform/guiservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

namespace kq {

namespace {

const QString kFilter = QStringLiteral("*.bak");

// The dialogs' default extension.
QString WithDefaultExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QStringLiteral(".bak");
}

void ShowResult(bool ok, const QString& success, const QString& failure) {
    Prompt().message(QStringLiteral("提示"), ok ? success : failure,
                     ok ? Prompter::Icon::Information : Prompter::Icon::Error);
}

} // namespace

TfmBackup::TfmBackup(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmBackup"));
    setWindowTitle(QStringLiteral("数据备份"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    setFixedSize(380, 90);
    // The component reports from the thread its work runs on; the bar is set on this one.
    BackupFile1.OnProgress = [this](TBackupFile*, const QString& file, TPercentage percent, bool&) {
        emit progressed(file, percent);
    };
    connect(this, &TfmBackup::progressed, this, [this](const QString& file, int percent) {
        bool go = true;
        BackupFile1Progress(&BackupFile1, file, TPercentage(percent), go);
    });
}

void TfmBackup::runWork(const std::function<void()>& work) {
    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    // Progress sent just before the end is shown before the window goes.
    QCoreApplication::sendPostedEvents(this);
    if (failure) std::rethrow_exception(failure);
}

void TfmBackup::BackupFile1Progress(TBackupFile*, const QString& Filename, TPercentage Percent, bool&) {
    const bool running = Percent < 100;
    ProgressBar1->setVisible(running);
    if (running) ProgressBar1->setValue(Percent);
    Label1->setText(running ? QDir::toNativeSeparators(Filename) : QString());
}

void BackupData(const QString& dataFolder, QWidget* parent) {
    TfmBackup form(parent);
    const QString archive = WithDefaultExtension(
        GuiServices().files->saveFileName(parent, QStringLiteral("数据备份"), QString(), kFilter));
    if (archive.isEmpty()) return;
    PrepareBackup(form.BackupFile1, archive);
    // Modal to the application, so no second command starts while this one lets messages run.
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    const BackupResult result =
        BackupDataFolder(form.BackupFile1, dataFolder, archive,
                         [&](const std::function<void()>& work) { form.runWork(work); });
    form.hide();
    if (result != BackupResult::NoFiles)
        ShowResult(result == BackupResult::Written, QStringLiteral("数据备份成功！"),
                   QStringLiteral("数据备份出错或中断！"));
}

bool RestoreData(const QString& dataFolder, QWidget* parent, const std::function<bool()>& closeDataWindows) {
    TfmBackup form(parent);
    const QString archive =
        GuiServices().files->openFileName(parent, QStringLiteral("数据恢复"), QString(), kFilter);
    if (archive.isEmpty() || !closeDataWindows()) return false;
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    const bool ok = RestoreDataFolder(form.BackupFile1, dataFolder, archive,
                                      [&](const std::function<void()>& work) { form.runWork(work); });
    form.hide();
    ShowResult(ok, QStringLiteral("数据恢复成功！"), QStringLiteral("数据恢复出错或中断！"));
    return ok;
}

} // namespace kq
