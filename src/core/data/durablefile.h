#pragma once

#include <QString>

class QFileDevice;

namespace kq {

// Steps that let file changes survive a crash or a power cut.

// Writes what the file holds through to the disk.
bool SyncFile(QFileDevice& file);
bool SyncFile(const QString& path);
// Makes the entries of a folder (files created, renamed or removed in it) durable. Windows keeps
// them by itself.
bool SyncFolder(const QString& path);
// Renames in one step, replacing a file at to; never copies (a rename between file systems fails).
bool RenameFile(const QString& from, const QString& to);

} // namespace kq
