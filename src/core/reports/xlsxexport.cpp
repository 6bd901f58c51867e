#include "core/reports/xlsxexport.h"

#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/platform/lazylibrary.h"
#include "core/platform/savefiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace kq {

namespace {

constexpr int kMaxRows = 1048576;

// The writer's library with its crypto library, opened by the first .xlsx export (see
// platform/lazylibrary.h).
struct LibXlsx {
    decltype(&::format_set_bg_color) format_set_bg_color;
    decltype(&::format_set_bold) format_set_bold;
    decltype(&::format_set_num_format) format_set_num_format;
    decltype(&::format_set_pattern) format_set_pattern;
    decltype(&::lxw_strerror) lxw_strerror;
    decltype(&::workbook_add_format) workbook_add_format;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_close) workbook_close;
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::worksheet_set_column) worksheet_set_column;
    decltype(&::worksheet_set_footer) worksheet_set_footer;
    decltype(&::worksheet_write_number) worksheet_write_number;
    decltype(&::worksheet_write_string) worksheet_write_string;
};

const LibXlsx& Xlsx() {
    return LibraryApi<LibXlsx>("xlsxwriter", 4, [](LazyLibrary& lib, LibXlsx& a) {
        lib.resolve(a.format_set_bg_color, "format_set_bg_color");
        lib.resolve(a.format_set_bold, "format_set_bold");
        lib.resolve(a.format_set_num_format, "format_set_num_format");
        lib.resolve(a.format_set_pattern, "format_set_pattern");
        lib.resolve(a.lxw_strerror, "lxw_strerror");
        lib.resolve(a.workbook_add_format, "workbook_add_format");
        lib.resolve(a.workbook_add_worksheet, "workbook_add_worksheet");
        lib.resolve(a.workbook_close, "workbook_close");
        lib.resolve(a.workbook_new_opt, "workbook_new_opt");
        lib.resolve(a.worksheet_set_column, "worksheet_set_column");
        lib.resolve(a.worksheet_set_footer, "worksheet_set_footer");
        lib.resolve(a.worksheet_write_number, "worksheet_write_number");
        lib.resolve(a.worksheet_write_string, "worksheet_write_string");
    });
}

} // namespace

struct XlsxWriter::Impl {
    QString fileName;
    QTemporaryDir temp;
    QString tempFile;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;
    lxw_format* formats[2][kNumberFormatCount + 1] = {}; // [red][number format]
    QList<CellKind> kinds;
    lxw_row_t next = 0;

    [[noreturn]] void fail(const QString& why) {
        if (book) Xlsx().workbook_close(book); // frees it; the temporary file goes with the folder
        book = nullptr;
        throw KqError(QStringLiteral("无法导出 %1：%2").arg(QDir::toNativeSeparators(fileName), why));
    }
    void check(lxw_error error) {
        if (error != LXW_NO_ERROR) fail(QString::fromUtf8(Xlsx().lxw_strerror(error)));
    }
    void text(int column, const QString& t, lxw_format* format) {
        if (next >= kMaxRows) fail(QStringLiteral("超过 %1 行").arg(kMaxRows));
        check(Xlsx().worksheet_write_string(sheet, next, lxw_col_t(column), t.toUtf8().constData(), format));
    }
};

XlsxWriter::XlsxWriter(const QString& fileName) : m(std::make_unique<Impl>()) {
    m->fileName = fileName;
}

XlsxWriter::~XlsxWriter() {
    if (m->book) Xlsx().workbook_close(m->book);
}

void XlsxWriter::begin(const QStringList& headerLines, const QStringList& columns,
                       const QList<CellKind>& kinds) {
    if (!m->temp.isValid()) m->fail(m->temp.errorString());
    m->tempFile = m->temp.filePath(QStringLiteral("export.xlsx"));
    const QByteArray tempDir = QFile::encodeName(m->temp.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tempDir.constData());
    m->book = Xlsx().workbook_new_opt(QFile::encodeName(m->tempFile).constData(), &options);
    if (!m->book) m->fail(QStringLiteral("out of memory"));
    m->sheet = Xlsx().workbook_add_worksheet(m->book, "New Sheet 1");
    m->bold = Xlsx().workbook_add_format(m->book);
    Xlsx().format_set_bold(m->bold);
    for (int red = 0; red < 2; ++red)
        for (int f = 0; f <= kNumberFormatCount; ++f) {
            lxw_format* format = Xlsx().workbook_add_format(m->book);
            if (f > 0) Xlsx().format_set_num_format(format, kNumberFormats[f - 1]);
            if (red) {
                Xlsx().format_set_pattern(format, LXW_PATTERN_SOLID);
                Xlsx().format_set_bg_color(format, LXW_COLOR_RED);
            }
            m->formats[red][f] = format;
        }
    Xlsx().worksheet_set_footer(m->sheet, "&CPage &P of &N");
    // Widths from the captions: the rows are not known yet.
    for (int c = 0; c < columns.size(); ++c)
        Xlsx().worksheet_set_column(m->sheet, lxw_col_t(c), lxw_col_t(c),
                                    qBound(10, GbkWidth(columns.at(c)) + 2, 60), nullptr);
    for (const QString& line : headerLines) {
        m->text(0, line, nullptr);
        ++m->next;
    }
    for (int c = 0; c < columns.size(); ++c)
        m->text(c, columns.at(c), m->bold);
    ++m->next;
    m->kinds = kinds;
}

void XlsxWriter::row(const QStringList& cells, const QList<int>& marked) {
    for (int c = 0; c < cells.size(); ++c) {
        const QString& t = cells.at(c);
        if (t.isEmpty()) continue;
        const CellKind kind = c < m->kinds.size() ? m->kinds.at(c) : CellKind::Text;
        const int red = marked.contains(c) ? 1 : 0;
        if (const std::optional<double> number = CellNumber(kind, t))
            m->check(Xlsx().worksheet_write_number(m->sheet, m->next, lxw_col_t(c), *number,
                                                   m->formats[red][NumberFormatOf(kind)]));
        else
            m->text(c, t, red ? m->formats[1][0] : nullptr);
    }
    ++m->next;
}

void XlsxWriter::finish(const QStringList& footerLines) {
    for (const QString& line : footerLines) {
        if (!line.isEmpty()) m->text(0, line, nullptr);
        ++m->next;
    }
    lxw_workbook* book = m->book;
    m->book = nullptr;
    const lxw_error closed = Xlsx().workbook_close(book);
    if (closed != LXW_NO_ERROR) m->fail(QString::fromUtf8(Xlsx().lxw_strerror(closed)));
    QFile written(m->tempFile);
    if (!written.open(QIODevice::ReadOnly)) m->fail(written.errorString());
    QString error;
    if (!SaveFrom(m->fileName, written, &error)) m->fail(error);
}

} // namespace kq
