#include "core/maintenance/rtf.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kq;

namespace {

RtfRun TextRun(const QString& text, const QString& family, double size, int color = -1, bool bold = false,
               bool italic = false, bool underline = false) {
    RtfCharFormat f;
    f.family = family;
    f.pointSize = size;
    f.color = color;
    f.bold = bold;
    f.italic = italic;
    f.underline = underline;
    return {text, f};
}

RtfParagraph Para(RtfAlign align, QList<RtfRun> runs) {
    return {align, std::move(runs)};
}

// Every attribute the editor produces, Chinese text, RTF's special characters, a character
// outside GBK and one outside the basic plane.
RtfDocument EveryAttribute() {
    RtfDocument d;
    d.paragraphs = {
        Para(RtfAlign::Center, {TextRun("放假通知", "宋体", 22, 0xFF0000, true)}),
        Para(RtfAlign::Left,
             {TextRun("元旦", "黑体", 10.5), TextRun(" Jan 1 ", "Arial", 12, 0x0000FF, false, true),
              TextRun("三天", "宋体", 12, -1, false, false, true),
              TextRun("a\\b {c} d\te\u2028line 2", "", 9, 0x00FF00, true, true, true)}),
        Para(RtfAlign::Left, {}),
        Para(RtfAlign::Right, {TextRun("행정 😀 ¥", "宋体", 36, 0x123456)}),
        Para(RtfAlign::Justify, {TextRun("两端对齐", "宋体", 12)}),
    };
    return d;
}

QString Plain(const QString& rtf) {
    return PlainText(ReadRtf(rtf));
}

} // namespace

TEST(Rtf, RoundTripKeepsEveryAttribute) {
    const RtfDocument d = EveryAttribute();
    const QString rtf = WriteRtf(d);
    for (const QChar c : rtf)
        ASSERT_LT(c.unicode(), 0x80) << "the written text is 7-bit";
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    EXPECT_TRUE(LooksLikeRtf(rtf));
    EXPECT_EQ(ReadRtf(rtf), d);
    EXPECT_EQ(ReadRtf(rtf.toLatin1()), d);
    EXPECT_EQ(ReadRtf(WriteRtf(RtfDocument())), RtfDocument());
}

TEST(Rtf, GbkFallbackServesReadersWithoutUnicode) {
    // Without the \uN words a reader sees the fallbacks: the GBK bytes, or "?" where GBK has
    // no character.
    QString rtf = WriteRtf(EveryAttribute());
    rtf.remove(QRegularExpression(QStringLiteral("\\\\u-?\\d+")));
    EXPECT_EQ(PlainText(ReadRtf(rtf)), "放假通知\n元旦 Jan 1 三天a\\b {c} d\te\nline 2\n\n?? ?? ?\n两端对齐");
}

TEST(Rtf, ReadsADocumentOfAWordProcessor) {
    QFile file(QStringLiteral(KQ_TEST_DATA_DIR "/rtf/wordprocessor.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const RtfDocument d = ReadRtf(file.readAll());
    // Header, title, style sheet, pictures, field instructions, bookmarks and theme data are
    // not text of the document.
    EXPECT_EQ(PlainText(d), "放假通知\n元旦放假 Jan 1三天，请相互转告\n行政部link");
    ASSERT_EQ(d.paragraphs.size(), 3);
    EXPECT_EQ(d.paragraphs[0].align, RtfAlign::Center);
    EXPECT_EQ(d.paragraphs[0].runs.value(0), TextRun("放假通知", "宋体", 22, 0xFF0000, true));
    const RtfParagraph& p = d.paragraphs[1];
    EXPECT_EQ(p.align, RtfAlign::Justify);
    ASSERT_EQ(p.runs.size(), 5);
    EXPECT_EQ(p.runs[0], TextRun("元旦放假", "宋体", 12));
    EXPECT_EQ(p.runs[1], TextRun(" Jan 1", "Times New Roman", 12, -1, false, true));
    EXPECT_EQ(p.runs[2], TextRun("三天", "宋体", 12, -1, false, false, true));
    EXPECT_EQ(p.runs[3], TextRun("，", "宋体", 12));
    EXPECT_EQ(p.runs[4], TextRun("请相互转告", "宋体", 12, 0x0000FF));
    EXPECT_EQ(d.paragraphs[2].align, RtfAlign::Right);
    EXPECT_EQ(d.paragraphs[2].runs.last(),
              TextRun("link", "Times New Roman", 12, 0x0000FF, false, false, true));
}

TEST(Rtf, ReadsTheOutputOfAnEditControl) {
    const QString rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}"
        "\r\n\\viewkind4\\uc1\\pard\\qc\\lang2052\\b\\f0\\fs36\\'cd\\'a8\\'d6\\'aa\\b0\\par\r\n"
        "\\pard\\cf1\\f1\\fs20 Meeting at 3pm\\cf0\\par\r\n}\r\n";
    const RtfDocument d = ReadRtf(rtf);
    ASSERT_EQ(d.paragraphs.size(), 2);
    EXPECT_EQ(d.paragraphs[0], Para(RtfAlign::Center, {TextRun("通知", "宋体", 18, -1, true)}));
    EXPECT_EQ(d.paragraphs[1], Para(RtfAlign::Left, {TextRun("Meeting at 3pm", "Arial", 10, 0xFF0000)}));
}

TEST(Rtf, CodePagesAndSpecialCharacters) {
    struct Case {
        const char* rtf;
        QString text;
    } cases[] = {
        // The font's character set decides over \ansicpg; without a font, \ansicpg counts.
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", "café"},
        {"{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0}", "中"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset136 Big;}}\\f0 \\'a4\\'a4}", "中"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1 Other;}\\f0 \\'e9}", "é"},
        // \uN with negative values, \ucN fallbacks of any length, groups end a fallback.
        {"{\\rtf1\\uc1\\u-3913?\\u-200}", "\uF0B7\uFF38"},
        {"{\\rtf1\\uc2\\u20013\\'d6\\'d0x\\uc0\\u25991 y}", "中x文y"},
        {"{\\rtf1\\uc3{\\u20013}z}", "中z"},
        {"{\\rtf1 a\\~b\\_c\\-d\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
         "a\u00A0b\u2011cd\u2014\u2013\u2022\u2018\u2019\u201C\u201D"},
        {"{\\rtf1 tab\\tab x\\line y\\cell z\\row next}", "tab\tx\ny\tz\nnext"},
        {"{\\rtf1 a\\\r\nb}", "a\nb"},
        {"{\\rtf1 \\bin4 }}{{binary}", "binary"},
        {"{\\rtf1 {\\*\\unknowndest hidden {nested}}shown\\unknownword42 too}", "showntoo"},
        // Raw characters beyond ASCII in the text form are text as they are.
        {"{\\rtf1 原文}", "原文"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Plain(QString::fromUtf8(c.rtf)), c.text) << c.rtf;
    // In the byte form such bytes are code-page bytes.
    EXPECT_EQ(PlainText(ReadRtf(QByteArray("{\\rtf1\\ansi\\ansicpg936 \xd6\xd0\xce\xc4}"))), "中文");
}

TEST(Rtf, BrokenInputGivesWhatCanBeRead) {
    struct Case {
        QString rtf;
        QString text;
    } cases[] = {
        {"{\\rtf1 unclosed {\\b group", "unclosed group"},
        {"{\\rtf1 a}} after the end", "a"},
        {"}}{\\rtf1 b}", "b"},
        {"{\\rtf1 cut \\'c", "cut "},
        {"{\\rtf1 trailing\\", "trailing"},
        {"{\\rtf1 \\fs99999999999999 \\f-5 \\cf77 \\u\\uc-4 big}", "big"},
        {"{\\rtf1 \\bin999999 lost}", ""},
        {"", ""},
        {QString(20000, '{') + "deep" + QString(20000, '}'), "deep"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Plain(c.rtf), c.text) << c.rtf.left(60).toStdString();
}

TEST(Rtf, PlainTextAndRecognition) {
    const RtfDocument d = PlainDocument("第一行\r\n\nthird");
    ASSERT_EQ(d.paragraphs.size(), 3);
    EXPECT_TRUE(d.paragraphs[1].runs.isEmpty());
    EXPECT_EQ(d.paragraphs[0].runs[0].format, RtfCharFormat());
    EXPECT_EQ(PlainText(ReadRtf(WriteRtf(d))), "第一行\n\nthird");
    EXPECT_TRUE(LooksLikeRtf("  \r\n{\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("plain {\\rtf1}"));
}
