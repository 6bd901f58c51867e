#include "core/platform/savefiles.h"

#include "core/platform/platform.h"

namespace kq {

bool SaveWhole(const QString& path, const QByteArray& content, QString* error, bool ownerOnly) {
    const std::unique_ptr<QSaveFile> file = Services().saveFiles->create(path);
    const auto failed = [&] {
        *error = file->errorString();
        file->cancelWriting();
        return false;
    };
    // Unbuffered, so that every failure of the file system shows at its write: a buffered save
    // file whose flush fails inside commit() still renames the cut file over the old one.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed();
    // The temporary file is restricted before any byte goes in; the rename keeps its mode.
    if (ownerOnly && !file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return failed();
    for (qint64 done = 0; done < content.size();) { // a device may take part of it at a time
        const qint64 n = file->write(content.constData() + done, content.size() - done);
        if (n <= 0) return failed();
        done += n;
    }
    if (!file->commit()) {
        *error = file->errorString();
        return false;
    }
    return true;
}

} // namespace kq
