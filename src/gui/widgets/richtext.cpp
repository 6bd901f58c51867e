#include "widgets/richtext.h"

#include <QTextDocument>
#include <QTextEdit>

namespace kq {

// Interim plain-text handling until the RTF reader and writer are in place.
void SetRichText(QTextEdit* edit, const QString& storedRtf) { edit->setPlainText(storedRtf); }

QString RichTextOf(const QTextDocument* document) { return document->toPlainText(); }

} // namespace kq
