#include "gui/widgets/richtext.h"

#include "core/maintenance/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace kq {

namespace {

Qt::Alignment AlignmentOf(RtfAlign align) {
    switch (align) {
    case RtfAlign::Center:
        return Qt::AlignHCenter;
    case RtfAlign::Right:
        return Qt::AlignRight;
    case RtfAlign::Justify:
        return Qt::AlignJustify;
    case RtfAlign::Left:
        break;
    }
    return Qt::AlignLeft;
}

RtfAlign AlignOf(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) return RtfAlign::Center;
    if (alignment & Qt::AlignRight) return RtfAlign::Right;
    if (alignment & Qt::AlignJustify) return RtfAlign::Justify;
    return RtfAlign::Left;
}

QTextCharFormat CharFormatOf(const RtfCharFormat& f) {
    QTextCharFormat format;
    if (!f.family.isEmpty()) format.setFontFamilies(QStringList{f.family});
    format.setFontPointSize(f.pointSize);
    format.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(f.italic);
    format.setFontUnderline(f.underline);
    if (f.color >= 0) format.setForeground(QColor::fromRgb(QRgb(f.color)));
    return format;
}

RtfCharFormat RtfFormatOf(const QTextCharFormat& format, const QFont& defaultFont) {
    const QFont font = format.font().resolve(defaultFont);
    RtfCharFormat f;
    f.family = font.families().value(0, font.family());
    f.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline();
    if (format.foreground().style() != Qt::NoBrush)
        f.color = int(format.foreground().color().rgb() & 0xFFFFFF);
    return f;
}

} // namespace

void SetRichText(QTextEdit* edit, const QString& storedRtf) {
    if (!LooksLikeRtf(storedRtf)) {
        edit->setPlainText(storedRtf);
        return;
    }
    const RtfDocument model = ReadRtf(storedRtf);
    QTextDocument* document = edit->document();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    for (int i = 0; i < model.paragraphs.size(); ++i) {
        const RtfParagraph& p = model.paragraphs.at(i);
        QTextBlockFormat block;
        block.setAlignment(AlignmentOf(p.align));
        if (i == 0)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        for (const RtfRun& r : p.runs)
            cursor.insertText(r.text, CharFormatOf(r.format));
    }
    document->setUndoRedoEnabled(true);
    edit->moveCursor(QTextCursor::Start);
}

QString RichTextOf(const QTextDocument* document) {
    RtfDocument model;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        RtfParagraph p;
        p.align = AlignOf(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter); // pictures are not kept
            if (text.isEmpty()) continue;
            const RtfCharFormat f = RtfFormatOf(fragment.charFormat(), document->defaultFont());
            if (!p.runs.isEmpty() && p.runs.last().format == f)
                p.runs.last().text += text;
            else
                p.runs.append({text, f});
        }
        model.paragraphs.append(p);
    }
    return WriteRtf(model);
}

} // namespace kq
