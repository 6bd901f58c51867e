#include "core/maintenance/folderclaim.h"

#include "core/data/kqerror.h"
#include "core/maintenance/databasesnapshot.h"
#include "core/maintenance/restorestage.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

namespace kq {

namespace {
constexpr int kClaimWaitMs = 5000;
}

void ClaimDataFolder(const QString& folder, OwnerLock::Mode mode) {
    OwnerLock& lock = DataFolderLock();
    const QDeadlineTimer deadline(kClaimWaitMs);
    for (;;) {
        if (lock.set(folder, OwnerLock::Exclusive)) {
            FinishInterruptedRestore(folder);
            RemoveSnapshotLeftovers(folder);
            lock.set(folder, mode);
            return;
        }
        // Others hold it shared: they completed any interrupted restore before they opened the data.
        if (lock.blocker() != OwnerLock::Exclusive && lock.set(folder, mode)) {
            if (!RestoreInterrupted(folder)) return;
            lock.set(folder, OwnerLock::Unlocked);
        }
        if (deadline.hasExpired()) break;
        QThread::msleep(50);
    }
    const QString f = QDir::toNativeSeparators(folder);
    throw KqError(lock.blocker() == OwnerLock::Exclusive
                      ? QStringLiteral("数据文件夹 %1 正在恢复数据，请稍后再试。").arg(f)
                      : QStringLiteral("数据文件夹 %1 有未完成的数据恢复，请先退出使用它的程序。").arg(f));
}

} // namespace kq
