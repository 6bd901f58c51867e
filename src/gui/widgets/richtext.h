#pragma once

#include <QString>

class QTextDocument;
class QTextEdit;

namespace kq {

// Shows a stored notice (RTF text) in an editor with its formatting.
void SetRichText(QTextEdit* edit, const QString& storedRtf);

// The document of an editor as RTF text for storage.
QString RichTextOf(const QTextDocument* document);

} // namespace kq
