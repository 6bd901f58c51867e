// Window TfmBackup: "数据备份", the progress of a backup or restore.
#pragma once

#include "core/maintenance/backupfile.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;

namespace kq {

// Shown while a backup or restore runs: the file being processed and the progress. It holds the
// archive component the command configures and runs.
class TfmBackup : public QDialog {
    Q_OBJECT
public:
    explicit TfmBackup(QWidget* parent = nullptr);

    // Runs work on a thread of its own while this window, fed by the component's progress, stays
    // responsive; returns when it has ended and passes on its exception.
    void runWork(const std::function<void()>& work);

signals:
    // The component's progress, sent from the thread the work runs on.
    void progressed(const QString& fileName, int percent);

public:
    // The archive component the commands configure and run.
    TBackupFile& backupFile() { return m_backupFile1; }

private:
    // The component's progress: the bar shows Percent below 100, the label the file name.
    void BackupFile1Progress(TBackupFile* Sender, const QString& Filename, TPercentage Percent,
                             bool& Continue);
    QLabel* m_label1 = nullptr;
    QProgressBar* m_progressBar1 = nullptr;
    TBackupFile m_backupFile1;
    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

// The main window's commands on the data folder (its path ending in a separator). The archive is
// chosen in a file dialog; the window is shown, modal to the application, while the component runs.
// Errors of the storage leave as KqError.
void BackupData(const QString& dataFolder, QWidget* parent = nullptr);
// Once the archive is chosen, closeDataWindows closes the windows that hold data; when it
// returns false nothing is restored. True when the data folder was restored.
bool RestoreData(const QString& dataFolder, QWidget* parent, const std::function<bool()>& closeDataWindows);

} // namespace kq
