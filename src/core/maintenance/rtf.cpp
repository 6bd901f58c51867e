#include "core/maintenance/rtf.h"

#include "core/data/gbk.h"

#include <QMap>
#include <QSet>
#include <climits>
#include <cmath>

namespace kq {

namespace {

// ---- Writing ----

// text with RTF's special characters escaped; uc is the fallback length in effect and is
// changed with \ucN when a character needs another one.
QString Escaped(const QString& text, int& uc) {
    QString out;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += QLatin1Char('\\');
            out += ch;
        } else if (u == u'\t') {
            out += QLatin1String("\\tab ");
        } else if (u == 0x2028 || u == u'\n') {
            out += QLatin1String("\\line ");
        } else if (u >= 0x20 && u < 0x80) {
            out += ch;
        } else if (u >= 0x80) {
            // GBK bytes as the fallback (each as \'xx, since a trail byte may be '\' or '{'),
            // "?" for characters GBK lacks and for halves of surrogate pairs.
            QString fallback = QStringLiteral("?");
            int length = 1;
            if (!ch.isSurrogate()) {
                const QByteArray gbk = ToGbk(QString(ch));
                if (gbk != "?") {
                    fallback.clear();
                    for (const char b : gbk)
                        fallback += QString::asprintf("\\'%02x", unsigned(uchar(b)));
                    length = int(gbk.size());
                }
            }
            if (uc != length) {
                uc = length;
                out += QStringLiteral("\\uc%1").arg(uc);
            }
            out += QStringLiteral("\\u%1").arg(int(qint16(u))) + fallback;
        }
    }
    return out;
}

const char* AlignWord(RtfAlign align) {
    switch (align) {
    case RtfAlign::Center:
        return "\\qc";
    case RtfAlign::Right:
        return "\\qr";
    case RtfAlign::Justify:
        return "\\qj";
    case RtfAlign::Left:
        break;
    }
    return "";
}

// ---- Reading ----

// Font sizes are kept within what word processors offer (1638 points), so that a stray size
// cannot make a viewer lay out text of absurd dimensions.
constexpr int kMaxHalfPoints = 3276;

// Windows code page of an RTF character set; 0 when the set names none (default, symbol).
int CharsetCodePage(int charset) {
    static const QMap<int, int> pages = {{0, 1252},   {128, 932},  {129, 949},  {134, 936},  {136, 950},
                                         {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
                                         {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};
    return pages.value(charset, 0);
}

// Destinations whose content is not text of the document.
bool IsSkippedDestination(const QString& word) {
    static const QSet<QString> words = {
        "author",       "buptim",    "comment",   "creatim",   "doccomm",    "footer",
        "footerf",      "footerl",   "footerr",   "footnote",  "ftncn",      "ftnsep",
        "ftnsepc",      "header",    "headerf",   "headerl",   "headerr",    "info",
        "keywords",     "operator",  "pict",      "printim",   "revtim",     "stylesheet",
        "subject",      "title",     "xe",        "tc",        "object",     "objdata",
        "listtext",     "pntext",    "pntxta",    "pntxtb",    "listtable",  "listoverridetable",
        "filetbl",      "revtbl",    "rsidtbl",   "themedata", "datastore",  "colorschememapping",
        "latentstyles", "xmlnstbl",  "generator", "userprops", "nonshppict", "shpinst",
        "fldinst",      "bkmkstart", "bkmkend"};
    return words.contains(word);
}

QChar SpecialCharacter(const QString& word) {
    static const QMap<QString, char16_t> chars = {
        {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
        {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
        {"enspace", 0x2002}, {"qmspace", 0x2005},   {"tab", u'\t'},        {"cell", u'\t'},
        {"line", 0x2028}};
    return QChar(chars.value(word, 0));
}

class Reader {
public:
    RtfDocument read(const QString& s) {
        int pos = 0;
        const int n = int(s.size());
        while (pos < n) {
            const QChar c = s.at(pos);
            if (c == QLatin1Char('{')) {
                endBytes();
                m_skip = 0;
                m_stack.append(m_g);
                ++pos;
            } else if (c == QLatin1Char('}')) {
                endBytes();
                m_skip = 0;
                ++pos;
                if (m_stack.isEmpty()) continue;
                m_g = m_stack.takeLast();
                if (m_stack.isEmpty()) break; // the end of the document's group
            } else if (c == QLatin1Char('\\')) {
                pos = control(s, pos + 1);
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                ++pos;
            } else {
                if (m_skip > 0) {
                    --m_skip;
                } else {
                    endBytes();
                    text(QString(c));
                }
                ++pos;
            }
        }
        endBytes();
        if (!m_para.runs.isEmpty()) endParagraph();
        return m_doc;
    }

private:
    enum class Dest { Text, FontTable, ColorTable, Skip };
    struct Group {
        int font = -1; // -1: the default font
        double size = 12;
        int color = 0;
        bool bold = false, italic = false, underline = false;
        RtfAlign align = RtfAlign::Left;
        int uc = 1;
        Dest dest = Dest::Text;
    };
    struct Font {
        QString name;
        int charset = 1;
        bool named = false; // the name ended with ';'
    };

    // Parses the control word or symbol after a backslash at pos; returns the position after it.
    int control(const QString& s, int pos) {
        const int n = int(s.size());
        if (pos >= n) return n;
        const QChar d = s.at(pos);
        if (d == QLatin1Char('\'')) {
            const QString hex = s.mid(pos + 1, 2);
            bool ok = hex.size() == 2;
            const int byte = ok ? hex.toInt(&ok, 16) : 0;
            if (m_skip > 0)
                --m_skip;
            else if (ok)
                m_bytes.append(char(byte));
            return pos + 3;
        }
        const auto isLetter = [](QChar ch) { return ch.unicode() < 0x80 && ch.isLetter(); };
        if (!isLetter(d)) {
            endBytes();
            if (m_skip > 0)
                --m_skip;
            else
                symbol(d);
            return pos + 1;
        }
        int end = pos;
        while (end < n && end - pos < 32 && isLetter(s.at(end)))
            ++end;
        const QString word = s.mid(pos, end - pos);
        const auto isDigit = [](QChar ch) { return ch >= QLatin1Char('0') && ch <= QLatin1Char('9'); };
        int digits = end;
        if (digits < n && s.at(digits) == QLatin1Char('-')) ++digits;
        const int firstDigit = digits;
        while (digits < n && isDigit(s.at(digits)))
            ++digits;
        const bool hasParam = digits > firstDigit;
        if (!hasParam) digits = end;
        // Out-of-range numbers are taken as the nearest int.
        const double number = hasParam ? s.mid(end, digits - end).toDouble() : 0;
        const int param = int(qBound<double>(INT_MIN, number, INT_MAX));
        if (digits < n && s.at(digits) == QLatin1Char(' ')) ++digits;
        endBytes();
        if (word == QLatin1String("bin"))
            return hasParam && param > 0 ? int(qMin<qint64>(n, qint64(digits) + param)) : digits;
        if (m_skip > 0) {
            --m_skip;
            return digits;
        }
        this->word(word, hasParam, param);
        return digits;
    }

    void symbol(QChar d) {
        switch (d.unicode()) {
        case u'\\':
        case u'{':
        case u'}':
            text(QString(d));
            break;
        case u'~':
            text(QString(QChar(0x00A0)));
            break;
        case u'_':
            text(QString(QChar(0x2011)));
            break;
        case u'*':
            m_star = true;
            break;
        case u'\r':
        case u'\n':
            if (m_g.dest == Dest::Text) endParagraph();
            break;
        default:
            break;
        }
    }

    void word(const QString& w, bool hasParam, int param) {
        const bool star = m_star;
        m_star = false;
        if (m_g.dest == Dest::Skip) return;
        if (w == QLatin1String("fonttbl")) {
            m_g.dest = Dest::FontTable;
            return;
        }
        if (w == QLatin1String("colortbl")) {
            m_g.dest = Dest::ColorTable;
            m_rgb = -1;
            return;
        }
        if (star || IsSkippedDestination(w)) {
            m_g.dest = Dest::Skip;
            return;
        }
        if (w == QLatin1String("u")) {
            if (!hasParam) return;
            text(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
            m_skip = m_g.uc;
            return;
        }
        if (w == QLatin1String("uc")) {
            m_g.uc = qMax(0, param);
            return;
        }
        switch (m_g.dest) {
        case Dest::FontTable:
            if (w == QLatin1String("f")) m_font = param;
            if (w == QLatin1String("fcharset")) m_fonts[m_font].charset = param;
            return;
        case Dest::ColorTable: {
            const int shift = w == QLatin1String("red")     ? 16
                              : w == QLatin1String("green") ? 8
                              : w == QLatin1String("blue")  ? 0
                                                            : -1;
            if (shift < 0) return;
            if (m_rgb < 0) m_rgb = 0;
            m_rgb |= (qBound(0, param, 255) << shift);
            return;
        }
        case Dest::Text:
        case Dest::Skip:
            break;
        }
        const bool on = !hasParam || param != 0;
        if (w == QLatin1String("par") || w == QLatin1String("row"))
            endParagraph();
        else if (const QChar special = SpecialCharacter(w); !special.isNull())
            text(QString(special));
        else if (w == QLatin1String("pard"))
            m_g.align = RtfAlign::Left;
        else if (w == QLatin1String("ql"))
            m_g.align = RtfAlign::Left;
        else if (w == QLatin1String("qc"))
            m_g.align = RtfAlign::Center;
        else if (w == QLatin1String("qr"))
            m_g.align = RtfAlign::Right;
        else if (w == QLatin1String("qj"))
            m_g.align = RtfAlign::Justify;
        else if (w == QLatin1String("plain")) {
            const Group plain;
            m_g.font = plain.font;
            m_g.size = plain.size;
            m_g.color = plain.color;
            m_g.bold = m_g.italic = m_g.underline = false;
        } else if (w == QLatin1String("b"))
            m_g.bold = on;
        else if (w == QLatin1String("i"))
            m_g.italic = on;
        else if (w == QLatin1String("ulnone"))
            m_g.underline = false;
        else if (w.startsWith(QLatin1String("ul")) && !w.startsWith(QLatin1String("ulc")))
            m_g.underline = on; // \ul and its dotted, double, wave … kinds
        else if (w == QLatin1String("fs") && hasParam && param > 0)
            m_g.size = qBound(1, param, kMaxHalfPoints) / 2.0;
        else if (w == QLatin1String("f") && hasParam)
            m_g.font = param;
        else if (w == QLatin1String("cf") && hasParam)
            m_g.color = param;
        else if (w == QLatin1String("deff") && hasParam)
            m_defaultFont = param;
        else if (w == QLatin1String("ansicpg") && hasParam)
            m_ansiCodePage = param;
    }

    int codePage() const {
        const int font = m_g.dest == Dest::FontTable ? m_font : (m_g.font >= 0 ? m_g.font : m_defaultFont);
        const int page = m_fonts.contains(font) ? CharsetCodePage(m_fonts.value(font).charset) : 0;
        return page ? page : m_ansiCodePage;
    }

    // Decodes the \'xx bytes read so far; called before any other token.
    void endBytes() {
        if (m_bytes.isEmpty()) return;
        const QByteArray bytes = m_bytes;
        m_bytes.clear();
        text(FromCodePage(bytes, codePage()));
    }

    void text(const QString& t) {
        switch (m_g.dest) {
        case Dest::Text:
            break;
        case Dest::FontTable: {
            Font& f = m_fonts[m_font];
            for (const QChar ch : t) {
                if (ch == QLatin1Char(';'))
                    f.named = true;
                else if (!f.named)
                    f.name += ch;
            }
            return;
        }
        case Dest::ColorTable:
            for (const QChar ch : t) {
                if (ch != QLatin1Char(';')) continue;
                m_colors.append(m_rgb);
                m_rgb = -1;
            }
            return;
        case Dest::Skip:
            return;
        }
        RtfCharFormat f;
        const int font = m_g.font >= 0 ? m_g.font : m_defaultFont;
        f.family = m_fonts.value(font).name.trimmed();
        f.pointSize = m_g.size;
        f.color = m_colors.value(m_g.color, -1);
        f.bold = m_g.bold;
        f.italic = m_g.italic;
        f.underline = m_g.underline;
        if (!m_para.runs.isEmpty() && m_para.runs.last().format == f)
            m_para.runs.last().text += t;
        else
            m_para.runs.append({t, f});
    }

    void endParagraph() {
        m_para.align = m_g.align;
        m_doc.paragraphs.append(m_para);
        m_para = RtfParagraph();
    }

    RtfDocument m_doc;
    RtfParagraph m_para;
    Group m_g;
    QList<Group> m_stack;
    QMap<int, Font> m_fonts;
    QList<int> m_colors;
    int m_font = 0; // the font table entry being read
    int m_rgb = -1; // the colour table entry being read; -1 while it has no component
    int m_defaultFont = -1;
    int m_ansiCodePage = 1252;
    int m_skip = 0;      // fallback characters of \uN still to skip
    bool m_star = false; // \* seen: the next control word starts an optional destination
    QByteArray m_bytes;
};

} // namespace

QString WriteRtf(const RtfDocument& document) {
    QStringList fonts;
    QList<int> colors;
    for (const RtfParagraph& p : document.paragraphs)
        for (const RtfRun& r : p.runs) {
            if (!r.format.family.isEmpty() && !fonts.contains(r.format.family)) fonts.append(r.format.family);
            if (r.format.color >= 0 && !colors.contains(r.format.color)) colors.append(r.format.color);
        }
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg936");
    if (!fonts.isEmpty()) {
        out += QLatin1String("{\\fonttbl");
        for (int i = 0; i < fonts.size(); ++i) {
            int uc = 1;
            out += QStringLiteral("{\\f%1\\fnil\\fcharset134 ").arg(i) + Escaped(fonts.at(i), uc) +
                   QLatin1String(";}");
        }
        out += QLatin1Char('}');
    }
    if (!colors.isEmpty()) {
        out += QLatin1String("{\\colortbl ;");
        for (const int c : colors)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                       .arg((c >> 16) & 255)
                       .arg((c >> 8) & 255)
                       .arg(c & 255);
        out += QLatin1Char('}');
    }
    out += QLatin1String("\\viewkind4\\uc1\n");
    int uc = 1;
    for (const RtfParagraph& p : document.paragraphs) {
        out += QLatin1String("\\pard") + QLatin1String(AlignWord(p.align));
        for (const RtfRun& r : p.runs) {
            const RtfCharFormat& f = r.format;
            out += QLatin1String("\\plain");
            if (!f.family.isEmpty()) out += QStringLiteral("\\f%1").arg(fonts.indexOf(f.family));
            out += QStringLiteral("\\fs%1").arg(qMax(1, int(std::lround(f.pointSize * 2))));
            if (f.bold) out += QLatin1String("\\b");
            if (f.italic) out += QLatin1String("\\i");
            if (f.underline) out += QLatin1String("\\ul");
            if (f.color >= 0) out += QStringLiteral("\\cf%1").arg(colors.indexOf(f.color) + 1);
            out += QLatin1Char(' ') + Escaped(r.text, uc);
        }
        out += QLatin1String("\\par\n");
    }
    return out + QLatin1Char('}');
}

RtfDocument ReadRtf(const QString& rtf) {
    return Reader().read(rtf);
}

RtfDocument ReadRtf(const QByteArray& rtf) {
    QString s;
    s.reserve(rtf.size());
    for (const char b : rtf) {
        if (uchar(b) < 0x80)
            s += QLatin1Char(b);
        else
            s += QString::asprintf("\\'%02x", unsigned(uchar(b)));
    }
    return ReadRtf(s);
}

bool LooksLikeRtf(const QString& text) {
    return text.trimmed().startsWith(QLatin1String("{\\rtf"));
}

QString PlainText(const RtfDocument& document) {
    QStringList lines;
    for (const RtfParagraph& p : document.paragraphs) {
        QString line;
        for (const RtfRun& r : p.runs)
            line += r.text;
        lines.append(line.replace(QChar(0x2028), QLatin1Char('\n')));
    }
    return lines.join(QLatin1Char('\n'));
}

RtfDocument PlainDocument(const QString& text) {
    RtfDocument document;
    QString normalized = text;
    normalized.remove(QLatin1Char('\r'));
    for (const QString& line : normalized.split(QLatin1Char('\n'))) {
        RtfParagraph p;
        if (!line.isEmpty()) p.runs.append({line, RtfCharFormat()});
        document.paragraphs.append(p);
    }
    return document;
}

} // namespace kq
