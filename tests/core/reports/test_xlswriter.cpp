#include "core/data/kqerror.h"
#include "core/reports/xlswriter.h"
#include "support/qtprinters.h"
#include "support/xlrdreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

class XlsReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        const QString why = test::XlrdUnavailable();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    }

    // The cells the reader should see: lines in the first column, every row as wide as the widest.
    static QList<QStringList> Expected(const XlsTable& t) {
        QList<QStringList> rows;
        for (const QString& line : t.headerLines)
            rows.append({line});
        rows.append(t.columns);
        rows.append(t.rows);
        for (const QString& line : t.footerLines)
            rows.append({line});
        qsizetype width = 0;
        for (const QStringList& r : rows)
            width = qMax(width, r.size());
        for (QStringList& r : rows)
            while (r.size() < width)
                r.append(QString());
        return rows;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(XlsReadBack, QueryReportLayout) {
    XlsTable t;
    t.headerLines = {"===张三考勤统计==="};
    t.columns = {"日期", "星期", "姓名", "早班上班", "早班下班", "备注"};
    t.rows = {
        {"2006-08-14", "星期一", "张三", "08:05:00", "", "迟到"},
        {"2006-08-15", "星期二", "张三", "07:58:00", "17:00:00", ""},
        {"2006-08-16", "星期三", "张三"},
    };
    t.footerLines = {"早班迟到次数：1    累计时间：  0:05:00", "", "早班累计时间： 18:02:00"};
    const QString path = dir.filePath("张三考勤表.XLS");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older export");
    old.close();

    WriteXls(path, t);

    const test::XlsContent c = test::ReadXls(path);
    EXPECT_EQ(c.sheetNames, QStringList{"New Sheet 1"});
    EXPECT_EQ(c.footers, QStringList{"Page &P of &N"});
    EXPECT_EQ(c.cells, Expected(t));
    QList<QPoint> captions;
    for (int col = 0; col < t.columns.size(); ++col)
        captions.append(QPoint(col, 1));
    EXPECT_EQ(c.boldCells, captions);
}

// As many rows as a sheet holds, strings of every length (some spanning several records of the
// string table), Chinese throughout: a workbook of many megabytes.
TEST_F(XlsReadBack, FullSheetOfLongAndChineseTexts) {
    XlsTable t;
    t.headerLines = {"《公司考勤统计表      统计时间：从2006-01-01到2006-12-31》"};
    t.columns = {"工号", "姓名", "部门", "备注", "早班迟到时间", "长文字"};
    const QString chinese = QStringLiteral("考勤迟到早退累计时间");
    for (int r = 0; t.rows.size() < 65536 - 4; ++r) {
        QString longText = QString::number(r);
        for (int i = 0; i < r % 131; ++i)
            longText += chinese.at((r + i) % chinese.size());
        t.rows.append({QString::number(r), QStringLiteral("员工%1").arg(r % 500),
                       QStringLiteral("部门%1").arg(r % 7),
                       r % 3 ? QString() : QStringLiteral("备注 %1").arg(r),
                       QStringLiteral("%1:00:00").arg(r % 24), longText});
    }
    t.rows[100][5] = QString(9000, QChar(0x8003));
    t.rows[200][5] = QString(20000, QLatin1Char('x'));
    t.footerLines = {"合计", "完"};
    const QString path = dir.filePath("考勤统计表.XLS");

    WriteXls(path, t);

    EXPECT_GT(QFileInfo(path).size(), 109 * 128 * 512); // beyond what the header's table sectors map
    const test::XlsContent c = test::ReadXls(path);
    EXPECT_EQ(c.sheetNames, QStringList{"New Sheet 1"});
    ASSERT_EQ(c.cells.size(), 65536);
    EXPECT_TRUE(c.cells == Expected(t)); // a mismatch would print megabytes
    EXPECT_EQ(c.boldCells.size(), t.columns.size());
}

// A write that cannot succeed throws and leaves the previous file as it was.
TEST(XlsWriter, FailedWriteKeepsOldFile) {
    const auto table = [](int rows, int columns, int textLength) {
        XlsTable t;
        for (int c = 0; c < columns; ++c)
            t.columns.append(QStringLiteral("列%1").arg(c));
        for (int r = 0; r < rows; ++r)
            t.rows.append({QString(textLength, QLatin1Char('x'))});
        return t;
    };
    struct Case {
        const char* what;
        QString folder;
        XlsTable table;
    } cases[] = {
        {"rows beyond the sheet", {}, table(65536, 1, 1)},
        {"columns beyond the sheet", {}, table(1, 257, 1)},
        {"cell text beyond a cell", {}, table(1, 1, 32768)},
        {"missing folder", "missing", table(1, 1, 1)},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("kept");
        const QString folder = dir.filePath(c.folder.isEmpty() ? QStringLiteral("kept") : c.folder);
        const QString path = folder + "/考勤表.XLS";
        QFile old(path);
        if (c.folder.isEmpty()) {
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("previous");
            old.close();
        }
        EXPECT_THROW(WriteXls(path, c.table), KqError) << c.what;
        if (c.folder.isEmpty()) {
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), "previous") << c.what;
            old.close();
        }
        const QStringList left = c.folder.isEmpty() ? QStringList{"考勤表.XLS"} : QStringList{};
        EXPECT_EQ(QDir(dir.filePath("kept")).entryList(QDir::Files), left) << c.what;
    }
}

namespace {

// A query-like table with every kind of column; the late time is marked.
XlsTable TypedTable() {
    XlsTable t;
    t.headerLines = {"===张三考勤统计==="};
    t.columns = {"日期", "姓名", "次数", "上班", "累计时间"};
    t.kinds = {CellKind::Date, CellKind::Text, CellKind::Number, CellKind::Time, CellKind::Duration};
    t.rows = {
        {"2024-03-04", "张三", "3", "08:10:00", " 25:30:00"}, // a duration beyond a day
        {"2024-03-05", "007", "", "abc", "  0:00:01"},        // text in a time column stays text
    };
    t.marked = {{3}};
    t.footerLines = {"合计"};
    return t;
}

} // namespace

// Counts, times, durations and dates are numbers a SUM can add, shown as on the screen; the late
// cell has the screen's red fill.
TEST_F(XlsReadBack, TypedCellsAndRedFill) {
    const QString path = dir.filePath("typed.xls");
    WriteXls(path, TypedTable());
    const test::XlsContent c = test::ReadXls(path);
    ASSERT_EQ(c.types.size(), 5);
    EXPECT_EQ(c.types[2], QList<int>({3, 1, 2, 3, 3}));
    EXPECT_EQ(c.types[3], QList<int>({3, 1, 0, 1, 3}));
    EXPECT_EQ(c.values[2], QVariantList({45355.0, "张三", 3.0, (8 * 3600 + 600) / 86400.0, 91800 / 86400.0}));
    EXPECT_EQ(c.values[3].at(1), "007"); // a name of digits stays text
    EXPECT_EQ(c.formats[2], QStringList({"yyyy-mm-dd", "General", "General", "hh:mm:ss", "[h]:mm:ss"}));
    EXPECT_EQ(c.redCells, QList<QPoint>{QPoint(3, 2)});
    EXPECT_EQ(c.types[1], QList<int>({1, 1, 1, 1, 1})); // captions
}

// LibreOffice, converting the export, keeps the page footer and the number cells.
TEST_F(XlsReadBack, LibreOfficeReadsFooterAndNumbers) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    const QString why = test::PythonModuleUnavailable("openpyxl", "python3-openpyxl");
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    const QString path = dir.filePath("typed.xls");
    WriteXls(path, TypedTable());
    QProcess lo;
    lo.start(soffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                       "--convert-to", "xlsx", "--outdir", dir.filePath("out"), path});
    ASSERT_TRUE(lo.waitForFinished(180000));
    ASSERT_TRUE(QFile::exists(dir.filePath("out/typed.xlsx"))) << lo.readAllStandardError().toStdString();
    const QByteArray out = test::RunPython(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(ws.oddFooter.center.text or ws.oddFooter.left.text or ws.oddFooter.right.text)
print(' '.join(type(c.value).__name__ for c in ws[3]))
print(ws['C3'].value + 1)
)",
                                           {dir.filePath("out/typed.xlsx")});
    EXPECT_EQ(QString::fromUtf8(out).split('\n').mid(0, 3),
              QStringList({"Page &P of &N", "datetime str int time timedelta", "4"}))
        << out.toStdString();
}
