#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace kq {

// Opens the files that replace a file whole: a QSaveFile writes a temporary file beside the
// target and renames it over the target on commit(), so a crash or a full disk never leaves half
// a file. Tests install one whose files fail after some bytes.
class SaveFiles {
public:
    virtual ~SaveFiles() = default;
    virtual std::unique_ptr<QSaveFile> create(const QString& path) {
        return std::make_unique<QSaveFile>(path);
    }
};

// Replaces the file at path with content whole, through Services().saveFiles; ownerOnly makes it
// readable by its owner only. On failure the old file stays as it was and error says why.
bool SaveWhole(const QString& path, const QByteArray& content, QString* error, bool ownerOnly = false);
// The same with the content read from source to its end a piece at a time, so that a large file
// never sits in memory whole.
bool SaveFrom(const QString& path, QIODevice& source, QString* error, bool ownerOnly = false);

} // namespace kq
