#include "core/maintenance/localfiles.h"

#include "core/data/engine.h"
#include "core/maintenance/backupfile.h"

#include <QStringList>

namespace kq {

bool IsLocalFile(const QString& name) {
    static const QStringList masks = {QStringLiteral("*.lock"), QStringLiteral("*-wal"),
                                      QStringLiteral("*-shm"),  QStringLiteral("*-journal"),
                                      kServerSettingsFile,      kServerPasswordFile};
    return std::any_of(masks.cbegin(), masks.cend(), [&](const QString& m) { return MatchesMask(m, name); });
}

} // namespace kq
