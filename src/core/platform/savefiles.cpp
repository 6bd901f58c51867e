#include "core/platform/savefiles.h"

#include "core/platform/platform.h"

#include <QBuffer>

namespace kq {

namespace {

constexpr int kChunkSize = 64 * 1024;

} // namespace

bool SaveWhole(const QString& path, const QByteArray& content, QString* error, bool ownerOnly) {
    QByteArray shared = content;
    QBuffer source(&shared);
    source.open(QIODevice::ReadOnly);
    return SaveFrom(path, source, error, ownerOnly);
}

bool SaveFrom(const QString& path, QIODevice& source, QString* error, bool ownerOnly) {
    const std::unique_ptr<QSaveFile> file = Services().saveFiles->create(path);
    const auto failed = [&](const QString& why) {
        *error = why;
        file->cancelWriting();
        return false;
    };
    // Unbuffered, so that every failure of the file system shows at its write: a buffered save
    // file whose flush fails inside commit() still renames the cut file over the old one.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file->errorString());
    // The temporary file is restricted before any byte goes in; the rename keeps its mode.
    if (ownerOnly && !file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return failed(file->errorString());
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(chunk.data(), chunk.size());
        if (read < 0) return failed(source.errorString());
        if (read == 0) break;
        for (qint64 done = 0; done < read;) { // a device may take part of it at a time
            const qint64 n = file->write(chunk.constData() + done, read - done);
            if (n <= 0) return failed(file->errorString());
            done += n;
        }
    }
    if (!file->commit()) {
        *error = file->errorString();
        return false;
    }
    return true;
}

} // namespace kq
