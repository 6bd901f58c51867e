#pragma once

#include <QSaveFile>
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

} // namespace kq
