#include "core/maintenance/rtf.h"
#include "gui/widgets/richtext.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace kq;

namespace {

// The character format of the first fragment of block n.
QTextCharFormat FormatOf(const QTextDocument* d, int n) {
    const QTextBlock b = d->findBlockByNumber(n);
    return b.begin().fragment().charFormat();
}

} // namespace

// What the punch screen does with today's notice.
TEST(RichText, StoredNoticeIsShownWithItsFormatting) {
    RtfCharFormat title;
    title.family = "宋体";
    title.pointSize = 22;
    title.color = 0xFF0000;
    title.bold = true;
    RtfCharFormat sign;
    sign.family = "Arial";
    sign.pointSize = 10;
    sign.italic = true;
    sign.underline = true;
    RtfDocument notice;
    notice.paragraphs = {{RtfAlign::Center, {{"今日通知", title}}},
                         {RtfAlign::Left, {{"全体员工下午三点开会", RtfCharFormat()}}},
                         {RtfAlign::Right, {{"行政部", sign}}}};
    QTextEdit view;
    view.setReadOnly(true);
    SetRichText(&view, WriteRtf(notice));

    const QTextDocument* d = view.document();
    EXPECT_EQ(d->toPlainText(), "今日通知\n全体员工下午三点开会\n行政部");
    EXPECT_EQ(d->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(d->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(d->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const QTextCharFormat t = FormatOf(d, 0);
    EXPECT_EQ(t.fontWeight(), QFont::Bold);
    EXPECT_EQ(t.foreground().color(), QColor(Qt::red));
    EXPECT_EQ(t.fontPointSize(), 22);
    EXPECT_EQ(t.fontFamilies().toStringList(), QStringList({"宋体"}));
    const QTextCharFormat body = FormatOf(d, 1);
    EXPECT_EQ(body.fontWeight(), QFont::Normal);
    EXPECT_EQ(body.foreground().style(), Qt::NoBrush); // the viewer's own text colour
    const QTextCharFormat s = FormatOf(d, 2);
    EXPECT_TRUE(s.fontItalic());
    EXPECT_TRUE(s.fontUnderline());
    EXPECT_EQ(s.fontPointSize(), 10);

    // Plain text from older data is shown as it is.
    SetRichText(&view, "没有格式的公告\n第二行");
    EXPECT_EQ(view.toPlainText(), "没有格式的公告\n第二行");
}

TEST(RichText, EditorContentSurvivesStorage) {
    QTextEdit editor;
    QFont base("Noto Sans");
    base.setPixelSize(16); // a pixel-sized default font is stored as 12 points
    editor.document()->setDefaultFont(base);
    QTextCursor c(editor.document());
    c.insertText("plain ");
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setForeground(QColor(0x12, 0x34, 0x56));
    c.insertText("bold", f);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    QTextCharFormat g;
    g.setFontFamilies(QStringList{"黑体"});
    g.setFontPointSize(30);
    g.setFontItalic(true);
    g.setFontUnderline(true);
    c.insertText("右\u2028对齐", g);
    const QString stored = RichTextOf(editor.document());

    QTextEdit shown;
    SetRichText(&shown, stored);
    EXPECT_EQ(RichTextOf(shown.document()), stored);
    const QTextDocument* d = shown.document();
    EXPECT_EQ(d->blockCount(), 2);
    const QTextCharFormat plain = FormatOf(d, 0);
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList({"Noto Sans"}));
    EXPECT_EQ(plain.fontPointSize(), 12);
    const QTextBlock first = d->findBlockByNumber(0);
    auto it = first.begin();
    ++it;
    EXPECT_EQ(it.fragment().text(), "bold");
    EXPECT_EQ(it.fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(0x12, 0x34, 0x56));
    const QTextCharFormat second = FormatOf(d, 1);
    EXPECT_EQ(d->findBlockByNumber(1).text(), "右\u2028对齐");
    EXPECT_EQ(d->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(second.fontFamilies().toStringList(), QStringList({"黑体"}));
    EXPECT_EQ(second.fontPointSize(), 30);
    EXPECT_TRUE(second.fontItalic());
    EXPECT_TRUE(second.fontUnderline());
}
