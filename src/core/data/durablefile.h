#pragma once

#include <QString>
#include <QtGlobal>

class QFileDevice;

namespace kq {

// Steps that let file changes survive a crash or a power cut.

// Writes what the file holds through to the disk.
bool SyncFile(QFileDevice& file);
bool SyncFile(const QString& path);
// Starts writing the bytes written so far from offset from on to the disk without waiting for it,
// so that a later SyncFile finds little left to do. Does nothing where the system cannot.
void StartWriteback(QFileDevice& file, qint64 from);
// Makes the entries of a folder (files created, renamed or removed in it) durable. Windows keeps
// them by itself.
bool SyncFolder(const QString& path);
// Renames in one step, replacing a file at to; never copies (a rename between file systems fails).
bool RenameFile(const QString& from, const QString& to);

} // namespace kq
