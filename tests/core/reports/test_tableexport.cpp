// The CSV and .xlsx exports read back: CSV byte for byte, .xlsx with openpyxl.
#include "core/data/kqerror.h"
#include "core/reports/csvexport.h"
#include "core/reports/xlsxexport.h"
#include "support/qtprinters.h"
#include "support/xlrdreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

XlsTable StatLikeTable() {
    XlsTable t;
    t.headerLines = {"《公司考勤统计表》"};
    t.columns = {"工号", "姓名", "上班", "迟到时间", "日期"};
    t.kinds = {CellKind::Number, CellKind::Text, CellKind::Time, CellKind::Duration, CellKind::Date};
    t.rows = {
        {"11", "张三", "08:30:00", "  0:30:00", "2024-03-01"},
        {"12", "王, \"五\"", "", " 26:00:05", "2024-03-02"},
    };
    t.marked = {{2}};
    t.footerLines = {"合计"};
    return t;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(CsvExport, Utf8WithBomQuotedAndTrimmed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stats.csv");
    CsvWriter writer(path);
    WriteTable(writer, StatLikeTable());
    EXPECT_EQ(QString::fromUtf8(ReadAll(path)),
              QString::fromUtf8("\xEF\xBB\xBF"
                                "工号,姓名,上班,迟到时间,日期\r\n"
                                "11,张三,08:30:00,0:30:00,2024-03-01\r\n"
                                "12,\"王, \"\"五\"\"\",,26:00:05,2024-03-02\r\n"));
}

// Nothing is left under the target's name until finish: a writer given up keeps the old file.
TEST(CsvExport, UnfinishedOrFailedWriteKeepsOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("q.csv");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    {
        CsvWriter writer(path);
        writer.begin({}, {"a"}, {});
        writer.row({"1"});
    }
    EXPECT_EQ(ReadAll(path), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"q.csv"});
    CsvWriter missing(dir.filePath("no/such/folder.csv"));
    EXPECT_THROW(missing.begin({}, {"a"}, {}), KqError);
}

TEST(XlsxExport, TypedCellsFillFooterReadBack) {
    const QString why = test::PythonModuleUnavailable("openpyxl", "python3-openpyxl");
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    QTemporaryDir dir;
    const QString path = dir.filePath("stats.xlsx");
    XlsxWriter writer(path);
    WriteTable(writer, StatLikeTable());
    const QByteArray out = test::RunPython(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(ws.title, '|', ws.oddFooter.center.text)
for row in ws.iter_rows():
    print(' '.join('%s:%s:%s%s' % (type(c.value).__name__, c.value, c.number_format,
                                   ':red' if c.fill.fill_type == 'solid' and c.fill.fgColor.rgb == 'FFFF0000' else '')
                   for c in row if c.value is not None))
)",
                                           {path});
    EXPECT_EQ(QString::fromUtf8(out).split('\n'),
              QStringList(
                  {"New Sheet 1 | Page &P of &N", "str:《公司考勤统计表》:General",
                   "str:工号:General str:姓名:General str:上班:General str:迟到时间:General str:日期:General",
                   "int:11:General str:张三:General time:08:30:00:hh:mm:ss:red "
                   "timedelta:0:30:00:[h]:mm:ss datetime:2024-03-01 00:00:00:yyyy-mm-dd",
                   "int:12:General str:王, \"五\":General timedelta:1 day, 2:00:05:[h]:mm:ss "
                   "datetime:2024-03-02 00:00:00:yyyy-mm-dd",
                   "str:合计:General", ""}));
}

TEST(XlsxExport, FailedWriteThrows) {
    QTemporaryDir dir;
    XlsxWriter writer(dir.filePath("no/such/folder.xlsx"));
    writer.begin({}, {"a"}, {});
    writer.row({"1"});
    EXPECT_THROW(writer.finish({}), KqError);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}
