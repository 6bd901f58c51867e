#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kq {

// Character attributes of a run of text.
struct RtfCharFormat {
    QString family; // empty: the viewer's default face
    double pointSize = 12;
    int color = -1; // 0xRRGGBB; -1: the automatic (default) colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const RtfCharFormat& o) const {
        return family == o.family && pointSize == o.pointSize && color == o.color && bold == o.bold &&
               italic == o.italic && underline == o.underline;
    }
    bool operator!=(const RtfCharFormat& o) const { return !(*this == o); }
};

struct RtfRun {
    QString text; // a line break inside the paragraph is U+2028, a tab '\t'
    RtfCharFormat format;
    bool operator==(const RtfRun& o) const { return text == o.text && format == o.format; }
};

enum class RtfAlign { Left, Center, Right, Justify };

struct RtfParagraph {
    RtfAlign align = RtfAlign::Left;
    QList<RtfRun> runs;
    bool operator==(const RtfParagraph& o) const { return align == o.align && runs == o.runs; }
};

// A formatted text as the notices keep it: paragraphs of runs, without the widget toolkit.
struct RtfDocument {
    QList<RtfParagraph> paragraphs;
    bool operator==(const RtfDocument& o) const { return paragraphs == o.paragraphs; }
};

// Writes 7-bit RTF text: code page 936, every non-ASCII character as \uN with its GBK bytes
// as the fallback for readers without Unicode, every paragraph ended by \par.
QString WriteRtf(const RtfDocument& document);

// Reads RTF text. Fonts, sizes, colours, bold, italic, underline, alignment, \'xx bytes in the
// code page of the font's character set (or of \ansicpg) and \uN characters are understood;
// optional (\*) and other non-text destinations, pictures and unknown control words are
// skipped. Never fails: broken input gives whatever text could be read. In the QString form
// characters beyond ASCII are text as they are; in the QByteArray form bytes beyond ASCII are
// code-page bytes like \'xx.
RtfDocument ReadRtf(const QString& rtf);
RtfDocument ReadRtf(const QByteArray& rtf);

// True when text starts (after white space) with the RTF signature "{\rtf".
bool LooksLikeRtf(const QString& text);

// The text of a document, one line per paragraph; and the other way round, one paragraph per
// line in the default format.
QString PlainText(const RtfDocument& document);
RtfDocument PlainDocument(const QString& text);

} // namespace kq
