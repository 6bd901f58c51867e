#include "core/reports/xlswriter.h"

#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/platform/savefiles.h"
#include "core/reports/compoundfile.h"

#include <QDir>
#include <QHash>
#include <QtEndian>

namespace kq {

namespace {

// Record types of the workbook stream.
enum : quint16 {
    RecBof = 0x0809,
    RecEof = 0x000A,
    RecCodePage = 0x0042,
    RecWindow1 = 0x003D,
    RecFont = 0x0031,
    RecXf = 0x00E0,
    RecStyle = 0x0293,
    RecBoundSheet = 0x0085,
    RecSst = 0x00FC,
    RecContinue = 0x003C,
    RecExtSst = 0x00FF,
    RecFooter = 0x0015,
    RecFormat = 0x041E,
    RecNumber = 0x0203,
    RecColInfo = 0x007D,
    RecDimensions = 0x0200,
    RecLabelSst = 0x00FD,
    RecWindow2 = 0x023E,
};

constexpr int MaxRecordBody = 8224;
constexpr int MaxRows = kXlsMaxRows;
constexpr int MaxColumns = 256;
constexpr int MaxCellText = 32767;
constexpr quint16 CellXf = 15; // the first cell format after the 15 style formats
constexpr quint16 BoldXf = 16;
constexpr quint16 BoldFont = 1;
// Number formats are numbered from the first free index.
constexpr quint16 FirstNumberFormat = 164;
// After the bold one: a cell format per number format, then the red-filled ones (general first).
constexpr quint16 FirstFormattedXf = 17;
constexpr quint16 FirstRedXf = FirstFormattedXf + kNumberFormatCount;
constexpr quint8 RedColour = 10; // of the default palette

quint16 CellXfOf(int format, bool red) {
    if (red) return quint16(FirstRedXf + format);
    return format == 0 ? CellXf : quint16(FirstFormattedXf + format - 1);
}

void Add8(QByteArray& b, quint8 v) {
    b.append(char(v));
}
void Add16(QByteArray& b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
void Add32(QByteArray& b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

QByteArray Utf16(const QString& s) {
    QByteArray b;
    b.reserve(s.size() * 2);
    for (QChar c : s)
        Add16(b, c.unicode());
    return b;
}

// A string with a one-byte length, always stored as UTF-16.
QByteArray ShortString(const QString& s) {
    QByteArray b;
    Add8(b, quint8(s.size()));
    Add8(b, 1);
    return b + Utf16(s);
}

class Stream {
public:
    void record(quint16 type, const QByteArray& body) {
        Add16(bytes, type);
        Add16(bytes, quint16(body.size()));
        bytes += body;
    }
    QByteArray bytes;
};

QByteArray Bof(quint16 kind) {
    QByteArray b;
    Add16(b, 0x0600); // BIFF8
    Add16(b, kind);
    Add16(b, 0x0DBB); // build
    Add16(b, 0x07CC); // year
    Add32(b, 0);      // file history
    Add32(b, 6);      // lowest version that can read the file: BIFF8
    return b;
}

QByteArray Font(bool bold) {
    QByteArray b;
    Add16(b, 240); // 12 points in twentieths
    Add16(b, bold ? 1 : 0);
    Add16(b, 0x7FFF); // automatic colour
    Add16(b, bold ? 700 : 400);
    Add16(b, 0);  // no super- or subscript
    Add8(b, 0);   // no underline
    Add8(b, 0);   // family
    Add8(b, 134); // GB2312 character set
    Add8(b, 0);
    return b + ShortString(QStringLiteral("宋体"));
}

QByteArray Xf(quint16 font, bool style, quint16 numberFormat = 0, bool red = false) {
    QByteArray b;
    Add16(b, font);
    Add16(b, numberFormat);
    Add16(b, style ? 0xFFF5 : 0x0001); // locked; a style has no parent, a cell's parent is style 0
    Add8(b, 0x20);                     // bottom-aligned
    Add8(b, 0);
    Add8(b, 0);
    // A style defines every attribute; a cell format flags those that differ from its style:
    // number format, font, fill.
    Add8(b, style ? 0 : (numberFormat ? 0x04 : 0) | (font == BoldFont ? 0x08 : 0) | (red ? 0x40 : 0));
    Add32(b, 0);                  // no borders
    Add32(b, red ? 1u << 26 : 0); // solid pattern for the red fill
    // Pattern colours: red on the window background, or the system window colours.
    Add16(b, red ? quint16(RedColour | (0x41 << 7)) : 0x20C0);
    return b;
}

QByteArray Format(quint16 index, const QString& code) {
    QByteArray b;
    Add16(b, index);
    Add16(b, quint16(code.size()));
    Add8(b, 1);
    return b + Utf16(code);
}

QByteArray Window1() {
    QByteArray b;
    for (quint16 v : {0x0168, 0x010E, 0x3A5C, 0x23BE, 0x0038, 0, 0, 1, 0x0258})
        Add16(b, v);
    return b;
}

QByteArray Window2() {
    QByteArray b;
    // Grid lines, headings, zeros, default header colour, outline symbols, selected tab, paged.
    for (quint16 v : {0x06B6, 0, 0, 0x0040, 0, 0, 0, 0, 0})
        Add16(b, v);
    return b;
}

// The shared string table: SST and CONTINUE records (a string that does not fit goes on in the
// next record after a fresh UTF-16 flag byte), then EXTSST with the position of every
// bucket's first string.
void WriteSst(Stream& out, const QStringList& strings, quint32 references) {
    const int bucket = qMax(8, int((strings.size() + 127) / 128));
    QByteArray index;
    Add16(index, quint16(bucket));
    QByteArray rec;
    Add32(rec, references);
    Add32(rec, quint32(strings.size()));
    quint16 type = RecSst;
    const auto flush = [&] {
        out.record(type, rec);
        rec.clear();
        type = RecContinue;
    };
    for (int i = 0; i < strings.size(); ++i) {
        const QByteArray chars = Utf16(strings.at(i));
        if (MaxRecordBody - rec.size() < 3 + qMin<int>(2, chars.size())) flush();
        if (i % bucket == 0) {
            Add32(index, quint32(out.bytes.size() + 4 + rec.size()));
            Add16(index, quint16(4 + rec.size()));
            Add16(index, 0);
        }
        Add16(rec, quint16(strings.at(i).size()));
        Add8(rec, 1);
        for (int pos = 0;;) {
            const int take = qMin<int>((MaxRecordBody - rec.size()) & ~1, chars.size() - pos);
            rec += chars.mid(pos, take);
            pos += take;
            if (pos == chars.size()) break;
            flush();
            Add8(rec, 1);
        }
    }
    flush();
    out.record(RecExtSst, index);
}

QByteArray Globals(const QStringList& strings, quint32 references, int* sheetOffsetAt) {
    Stream s;
    s.record(RecBof, Bof(0x0005));
    QByteArray codePage;
    Add16(codePage, 1200); // UTF-16
    s.record(RecCodePage, codePage);
    s.record(RecWindow1, Window1());
    for (int i = 0; i < 4; ++i)
        s.record(RecFont, Font(i == BoldFont));
    for (int f = 0; f < kNumberFormatCount; ++f)
        s.record(RecFormat, Format(quint16(FirstNumberFormat + f), QString::fromLatin1(kNumberFormats[f])));
    for (int i = 0; i < 15; ++i)
        s.record(RecXf, Xf(0, true));
    s.record(RecXf, Xf(0, false));
    s.record(RecXf, Xf(BoldFont, false));
    for (int f = 0; f < kNumberFormatCount; ++f)
        s.record(RecXf, Xf(0, false, quint16(FirstNumberFormat + f)));
    s.record(RecXf, Xf(0, false, 0, true));
    for (int f = 0; f < kNumberFormatCount; ++f)
        s.record(RecXf, Xf(0, false, quint16(FirstNumberFormat + f), true));
    s.record(RecStyle, QByteArray("\x00\x80\x00\xFF", 4)); // built-in "Normal" on style 0
    QByteArray sheet;
    Add32(sheet, 0); // position of the sheet's BOF, set once known
    Add16(sheet, 0); // visible worksheet
    *sheetOffsetAt = s.bytes.size() + 4;
    s.record(RecBoundSheet, sheet + ShortString(QStringLiteral("New Sheet 1")));
    WriteSst(s, strings, references);
    s.record(RecEof, {});
    return s.bytes;
}

// The cells in row order as LABELSST and NUMBER records, with the strings they refer to.
class Sheet {
public:
    QStringList strings; // unique texts in order of first use
    quint32 references = 0;
    QByteArray cells;
    int rows = 0, usedRows = 0, columns = 0;
    QList<int> widths; // GBK width of the widest caption or cell per column

    // Adds a row; the reason when it does not fit in a sheet, empty otherwise.
    QString addRow(const QStringList& texts, quint16 xf, bool sized, const QList<CellKind>& kinds = {},
                   const QList<int>& marked = {}) {
        if (rows >= MaxRows) return QStringLiteral("超过 %1 行").arg(MaxRows);
        if (texts.size() > MaxColumns) return QStringLiteral("超过 %1 列").arg(MaxColumns);
        for (int c = 0; c < texts.size(); ++c) {
            const QString& t = texts.at(c);
            if (t.size() > MaxCellText) return QStringLiteral("单元格文字超过 %1 个字符").arg(MaxCellText);
            if (sized) {
                if (widths.size() <= c) widths.resize(c + 1);
                widths[c] = qMax(widths.at(c), GbkWidth(t));
            }
            const bool red = marked.contains(c);
            if (t.isEmpty()) continue;
            const CellKind kind = c < kinds.size() ? kinds.at(c) : CellKind::Text;
            if (const std::optional<double> number = CellNumber(kind, t)) {
                Add16(cells, RecNumber);
                Add16(cells, 14);
                Add16(cells, quint16(rows));
                Add16(cells, quint16(c));
                Add16(cells, CellXfOf(NumberFormatOf(kind), red));
                char bytes[8];
                qToLittleEndian(*number, bytes);
                cells.append(bytes, 8);
            } else {
                addText(t, red ? CellXfOf(0, true) : xf, c);
            }
            usedRows = rows + 1;
            columns = qMax(columns, c + 1);
        }
        ++rows;
        return {};
    }

private:
    void addText(const QString& t, quint16 xf, int column) {
        auto it = index.constFind(t);
        if (it == index.constEnd()) {
            it = index.insert(t, quint32(strings.size()));
            strings.append(t);
        }
        Add16(cells, RecLabelSst);
        Add16(cells, 10);
        Add16(cells, quint16(rows));
        Add16(cells, quint16(column));
        Add16(cells, xf);
        Add32(cells, *it);
        ++references;
    }

    QHash<QString, quint32> index;
};

QByteArray Worksheet(const Sheet& sheet) {
    Stream s;
    s.record(RecBof, Bof(0x0010));
    for (int c = 0; c < sheet.widths.size(); ++c) {
        QByteArray info;
        Add16(info, quint16(c));
        Add16(info, quint16(c));
        Add16(info, quint16(qBound(8, sheet.widths.at(c) + 2, 100) * 256)); // in 1/256 of a digit
        Add16(info, CellXf);
        Add16(info, 0);
        Add16(info, 0);
        s.record(RecColInfo, info);
    }
    // The page footer after the column widths, where every reader takes it.
    QByteArray footer;
    const QString page = QStringLiteral("Page &P of &N");
    Add16(footer, quint16(page.size()));
    Add8(footer, 1);
    s.record(RecFooter, footer + Utf16(page));
    QByteArray dim;
    Add32(dim, 0);
    Add32(dim, quint32(sheet.usedRows));
    Add16(dim, 0);
    Add16(dim, quint16(sheet.columns));
    Add16(dim, 0);
    s.record(RecDimensions, dim);
    s.bytes += sheet.cells;
    s.record(RecWindow2, Window2());
    s.record(RecEof, {});
    return s.bytes;
}

} // namespace

struct XlsWriter::Impl {
    QString fileName;
    Sheet sheet;

    [[noreturn]] void fail(const QString& why) const {
        throw KqError(QStringLiteral("无法导出 %1：%2").arg(QDir::toNativeSeparators(fileName), why));
    }
    QList<CellKind> columnKinds;

    void add(const QStringList& texts, quint16 xf, bool sized, const QList<CellKind>& kinds = {},
             const QList<int>& marked = {}) {
        const QString why = sheet.addRow(texts, xf, sized, kinds, marked);
        if (!why.isEmpty()) fail(why);
    }
};

XlsWriter::XlsWriter(const QString& fileName) : m(std::make_unique<Impl>()) {
    m->fileName = fileName;
}

XlsWriter::~XlsWriter() = default;

void XlsWriter::begin(const QStringList& headerLines, const QStringList& columns,
                      const QList<CellKind>& kinds) {
    for (const QString& line : headerLines)
        m->add({line}, CellXf, false);
    m->add(columns, BoldXf, true);
    m->columnKinds = kinds;
}

void XlsWriter::row(const QStringList& cells, const QList<int>& marked) {
    m->add(cells, CellXf, true, m->columnKinds, marked);
}

void XlsWriter::finish(const QStringList& footerLines) {
    for (const QString& line : footerLines)
        m->add({line}, CellXf, false);
    int sheetOffsetAt = 0;
    QByteArray book = Globals(m->sheet.strings, m->sheet.references, &sheetOffsetAt);
    qToLittleEndian(quint32(book.size()), book.data() + sheetOffsetAt);
    book += Worksheet(m->sheet);
    const QByteArray file = BuildCompoundFile({{QStringLiteral("Workbook"), book}});

    // Written to a temporary file that replaces the target only when complete.
    QString error;
    if (!SaveWhole(m->fileName, file, &error)) m->fail(error);
}

void WriteXls(const QString& fileName, const XlsTable& table) {
    XlsWriter writer(fileName);
    WriteTable(writer, table);
}

} // namespace kq
