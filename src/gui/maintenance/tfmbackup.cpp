#include "gui/maintenance/tfmbackup.h"

#include "core/maintenance/backupcommands.h"
#include "core/platform/platform.h"
#include "gui/platform/guiservices.h"
#include "gui/widgets/offthread.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
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
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setRange(0, 100);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_progressBar1);
    setFixedSize(380, 90);
    // The component reports from the thread its work runs on; the bar is set on this one.
    m_backupFile1.OnProgress = [this](TBackupFile*, const QString& file, TPercentage percent, bool&) {
        emit progressed(file, percent);
    };
    connect(this, &TfmBackup::progressed, this, [this](const QString& file, int percent) {
        bool go = true;
        BackupFile1Progress(&m_backupFile1, file, TPercentage(percent), go);
    });
}

void TfmBackup::runWork(const std::function<void()>& work) {
    RunOffThread(work, this);
}

void TfmBackup::BackupFile1Progress(TBackupFile*, const QString& Filename, TPercentage Percent, bool&) {
    const bool running = Percent < 100;
    m_progressBar1->setVisible(running);
    if (running) m_progressBar1->setValue(Percent);
    m_label1->setText(running ? QDir::toNativeSeparators(Filename) : QString());
}

void BackupData(const QString& dataFolder, QWidget* parent) {
    TfmBackup form(parent);
    const QString archive = WithDefaultExtension(
        GuiServices().files->saveFileName(parent, QStringLiteral("数据备份"), QString(), kFilter));
    if (archive.isEmpty()) return;
    PrepareBackup(form.backupFile(), archive);
    // Modal to the application, so no second command starts while this one lets messages run.
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    BackupResult result = BackupResult::Stopped;
    ShowingFailure([&] {
        result = BackupDataFolder(form.backupFile(), dataFolder, archive,
                                  [&](const std::function<void()>& work) { form.runWork(work); });
    });
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
    bool ok = false;
    ShowingFailure([&] {
        ok = RestoreDataFolder(form.backupFile(), dataFolder, archive,
                               [&](const std::function<void()>& work) { form.runWork(work); });
    });
    form.hide();
    ShowResult(ok, QStringLiteral("数据恢复成功！"), QStringLiteral("数据恢复出错或中断！"));
    return ok;
}

} // namespace kq
