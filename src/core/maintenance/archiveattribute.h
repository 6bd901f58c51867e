#pragma once

#include <QString>

namespace kq {

// The archive attribute of a file: set when the file is new or changed since a backup last
// cleared it. On Windows it is the file-system attribute; elsewhere the clearing records the
// file's modification time in the extended attribute "user.kq.archived", and the attribute counts
// as set while that record is missing or no longer matches (a file system without extended
// attributes keeps every file marked, so an incremental backup stores too much, never too little).
bool HasArchiveAttribute(const QString& path);
void ClearArchiveAttribute(const QString& path);

} // namespace kq
