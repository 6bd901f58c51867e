#pragma once

#include <QString>

class QTextDocument;
class QTextEdit;

namespace kq {

// Shows a stored notice (RTF text) in an editor with its formatting; text that is not RTF is
// shown as plain text.
void SetRichText(QTextEdit* edit, const QString& storedRtf);

// The document of an editor as RTF text for storage: fonts, sizes, colours, bold, italic,
// underline and paragraph alignment.
QString RichTextOf(const QTextDocument* document);

} // namespace kq
