#pragma once

#include <QString>
#include <QStringList>

namespace kq {

// Text files in UTF-16 little-endian, as the security-policy tool reads and writes them.

// The text of the file; empty when it does not exist or, with withMark, when it does not begin
// with the byte-order mark FF FE. An odd last byte is ignored.
QString ReadUnicodeFile(const QString& path, bool withMark);
// Replaces the file with the text (behind FF FE when withMark); writes nothing for empty text.
// Throws KqError when the file cannot be written; the old file then stays as it was.
void WriteUnicodeFile(const QString& path, const QString& text, bool withMark);

// The lines of a text split at CR LF, CR or LF; a break at the very end adds no empty line.
QStringList TextLines(const QString& text);
// The lines joined with CR LF after every line.
QString LinesText(const QStringList& lines);

} // namespace kq
