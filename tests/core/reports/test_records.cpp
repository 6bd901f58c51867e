#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/reports/attendancequery.h"
#include "core/reports/recordmodel.h"
#include "core/reports/rowscan.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QSqlError>
#include <gtest/gtest.h>

using namespace kq;

namespace {

void AddRow(const QString& date, const QString& name, const QVariantList& times, const QVariant& leave = {},
            const QString& comment = {}) {
    QString cols = QStringLiteral("DDate, Name, LeaveType, Comment");
    QString marks = QStringLiteral("?, ?, ?, ?");
    QVariantList values{date, name, leave, comment};
    for (int i = 0; i < times.size(); ++i) {
        cols += QStringLiteral(", T%1").arg(i);
        marks += QStringLiteral(", ?");
        values << times[i];
    }
    ExecSql(QStringLiteral("insert into WorkList (%1) values (%2)").arg(cols, marks), values);
}

// Keeps what a writer is handed as a table; fails at a given row.
struct TableRecorder : TableWriter {
    XlsTable table;
    bool finished = false;
    int failAt = -1;
    void begin(const QStringList& headerLines, const QStringList& columns,
               const QList<CellKind>& kinds) override {
        table.headerLines = headerLines;
        table.columns = columns;
        table.kinds = kinds;
    }
    void row(const QStringList& cells, const QList<int>& marked) override {
        if (table.rows.size() == failAt) throw KqError("sheet full");
        table.rows << cells;
        table.marked << marked;
    }
    void finish(const QStringList& footerLines) override {
        table.footerLines = footerLines;
        finished = true;
    }
};

} // namespace

class RecordsFixture : public test::DataFolderTest {
protected:
    QStringList datesOf(const QString& name) {
        QStringList dates;
        QSqlQuery q = ExecSql("select DDate from WorkList where Name = ? order by DDate", {name});
        while (q.next())
            dates << q.value(0).toString();
        return dates;
    }
};

using RecordsTest = test::OnEachEngine<RecordsFixture>;
KQ_ON_EACH_ENGINE(RecordsTest);
using RecordsFileTest = RecordsFixture;

TEST_P(RecordsTest, CompletionAddsOnlyMissingDatesOnce) {
    AddRow("2024-03-02", "张三", {"08:00:00"});
    AddRow("2024-03-03", "李四", {});
    CompletePeriod("张三", QDate(2024, 3, 1), QDate(2024, 3, 4));
    EXPECT_EQ(datesOf("张三"), QStringList({"2024-03-01", "2024-03-02", "2024-03-03", "2024-03-04"}));
    CompletePeriod("张三", QDate(2024, 3, 1), QDate(2024, 3, 5));
    EXPECT_EQ(datesOf("张三").size(), 5);
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = ? and T0 is not null", {"张三"}), 1);
    EXPECT_EQ(
        countRows("select count(*) from WorkList where Name = ? and T0 is null and LeaveType is null and "
                  "Comment is null",
                  {"张三"}),
        4);
    EXPECT_EQ(datesOf("李四"), QStringList({"2024-03-03"}));

    CompletePeriod("无此人", QDate(2024, 3, 7), QDate(2024, 3, 7)); // no employee bears the name
    EXPECT_EQ(datesOf("无此人"), QStringList({"2024-03-07"}));
    CompletePeriod("王五", QDate(2024, 3, 8), QDate(2024, 3, 7)); // reversed
    EXPECT_TRUE(datesOf("王五").isEmpty());
    CompletePeriod("O'Neil", QDate(2024, 2, 28), QDate(2024, 3, 1)); // a quote is just a character
    EXPECT_EQ(datesOf("O'Neil"), QStringList({"2024-02-28", "2024-02-29", "2024-03-01"}));
    CompletePeriod("o'neil", QDate(2024, 3, 1), QDate(2024, 3, 1)); // the grid's query tells case apart
    EXPECT_EQ(datesOf("o'neil"), QStringList({"2024-03-01"}));
}

TEST_P(RecordsTest, CompletionIsAllOrNothing) {
    // A failing insert in the middle leaves no rows of the period behind.
    failInserts("WorkList", "refused", "new.DDate = '2024-03-03'");
    EXPECT_THROW(CompletePeriod("张三", QDate(2024, 3, 1), QDate(2024, 3, 5)), KqError);
    EXPECT_TRUE(datesOf("张三").isEmpty());
}

TEST_P(RecordsTest, EvaluationSumsTheFiltersRows) {
    writeShifts({{1, "早班", "08:00:00", "12:00:00", true, true, true}});
    AddRow("2024-03-01", "张三", {"08:10:00", "11:00:00"});
    AddRow("2024-03-02", "张三", {"08:05:00", "12:00:00"});
    AddRow("2024-03-02", "李四", {"09:00:00", QVariant()});
    AddRow("2024-04-01", "张三", {"09:00:00", "10:00:00"});
    const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OnDuty);

    QList<TSlotTotals> t =
        EvaluateRecords(slotTable, RecordFilter::Period("张三", QDate(2024, 3, 1), QDate(2024, 3, 31)));
    EXPECT_EQ(t[0].LateCount, 2);
    EXPECT_DOUBLE_EQ(t[0].LateSeconds, 900);
    EXPECT_EQ(t[1].EarlyCount, 1);
    EXPECT_DOUBLE_EQ(t[1].EarlySeconds, 3600);
    EXPECT_DOUBLE_EQ(t[0].WorkedSeconds, 10200 + 14100);

    t = EvaluateRecords(slotTable,
                        RecordFilter::Period("", QDate(2024, 3, 1), QDate(2024, 3, 31))); // everybody
    EXPECT_EQ(t[0].LateCount, 3);
    EXPECT_DOUBLE_EQ(t[0].WorkedSeconds, 10200 + 14100); // 李四 has no off-duty time
    t = EvaluateRecords(slotTable, RecordFilter());
    EXPECT_EQ(t[0].LateCount, 4);
    EXPECT_TRUE(EvaluateRecords({}, RecordFilter()).isEmpty());
}

TEST_P(RecordsTest, ColumnsTextsAndRedCells) {
    writeShifts({{1, "早班", "08:00:00", "17:00:00", true, false, false},
                 {2, "夜班", "22:00:00", "06:00:00", false, true, false}});
    AddRow("2024-03-03", "张三", {"08:00:01", "16:00:00", "22:00:00", "05:00:00"}, 2, "出差去了");
    AddRow("2024-03-04", "张三", {"00:00:00", QVariant(), QVariant(), "06:00:00"}, 9);
    const RecordColumns columns = RecordColumns::Load();
    EXPECT_EQ(columns.titles(), QStringList({"日期", "星期", "姓名", "早班上班", "早班下班", "夜班上班",
                                             "夜班下班", "未到原因", "备注"}));
    RecordModel model(columns);
    model.open(RecordFilter());
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 9);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), "早班上班");
    const auto cells = [&](int row, int role) {
        QVariantList out;
        for (int c = 0; c < model.columnCount(); ++c)
            out << model.data(model.index(row, c), role);
        return out;
    };
    EXPECT_EQ(cells(0, Qt::DisplayRole), QVariantList({"2024-03-03", "周日", "张三", "08:00:01", "16:00:00",
                                                       "22:00:00", "05:00:00", "病假", "出差去了"}));
    EXPECT_EQ(cells(1, Qt::DisplayRole),
              QVariantList({"2024-03-04", "周一", "张三", "00:00:00", "", "", "06:00:00", "", ""}));
    // Late on-duty in the marked day shift; the unmarked off-duty 16:00 and the night shift's
    // on-duty stay white; the night shift's off-duty 05:00 is early.
    EXPECT_EQ(cells(0, RecordModel::MarkedRole),
              QVariantList({false, false, false, true, false, false, true, false, false}));
    EXPECT_EQ(cells(1, RecordModel::MarkedRole), QVariantList(9, false));
    EXPECT_EQ(model.field(1, FieldISn).toInt(), 2);

    writeShifts({});
    RecordModel bare(RecordColumns::Load());
    bare.open(RecordFilter());
    EXPECT_EQ(bare.columnCount(), 5);
    for (int c = 0; c < 5; ++c)
        EXPECT_FALSE(bare.data(bare.index(0, c), RecordModel::MarkedRole).toBool());
}

TEST_P(RecordsTest, ModelReachesAnyRowAtOnceKeepingAFewPages) {
    // More pages than the model keeps, rows without a date or a name among them (they sort first).
    const int total = (RecordModel::kCachedPages + 5) * RecordModel::kPageSize + 37;
    {
        Transaction t;
        for (int i = 0; i < total; ++i) {
            const QVariant date =
                i % 7 == 0 ? QVariant() : QVariant(DateText(QDate(2020, 1, 1).addDays(i / 8)));
            // One row per name and day, as the server keeps them.
            const QVariant name = i % 11 == 0 ? QVariant() : QVariant(QStringLiteral("P%1").arg(i % 8));
            ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {date, name});
        }
        t.commit();
    }
    QList<qint64> expected;
    for (QSqlQuery q = ExecSql("select ISn from WorkList order by DDate nulls first, Name nulls first, ISn");
         q.next();)
        expected << q.value(0).toLongLong();
    RecordModel model(RecordColumns::Load());
    QSignalSpy added(&model, &QAbstractItemModel::rowsInserted);
    model.open(RecordFilter());
    // The first page is there at once; the others are counted from the event loop and added in
    // one step.
    EXPECT_EQ(model.rowCount(), RecordModel::kPageSize);
    EXPECT_TRUE(model.canFetchMore({}));
    for (int turns = 0; model.counting() && turns < 10000; ++turns)
        QCoreApplication::processEvents();
    ASSERT_EQ(model.rowCount(), total);
    EXPECT_FALSE(model.canFetchMore({}));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added[0][1].toInt(), RecordModel::kPageSize);
    EXPECT_EQ(added[0][2].toInt(), total - 1);
    EXPECT_EQ(model.cachedPages(), 1);
    // The last row first (Ctrl+End), then backwards page by page from there and from the middle,
    // forwards from the top, and jumps between.
    QList<int> rows{total - 1, 0, total / 2, total / 2 - RecordModel::kPageSize, RecordModel::kPageSize + 3};
    for (int r = total - 1; r >= total - 4 * RecordModel::kPageSize; r -= 97)
        rows << r;
    for (int r = 0; r < total; r += 61)
        rows << r;
    for (int r = total / 2; r >= 0; r -= 131)
        rows << r;
    for (const int r : rows)
        ASSERT_EQ(model.field(r, FieldISn).toLongLong(), expected.at(r)) << r;
    EXPECT_LE(model.cachedPages(), RecordModel::kCachedPages);
    EXPECT_TRUE(model.fetchTo(total - 1));
    EXPECT_FALSE(model.fetchTo(total));
    EXPECT_EQ(model.field(total, FieldISn), QVariant());

    model.open(RecordFilter::Period("P2", QDate(2019, 12, 31), QDate(2020, 1, 3)));
    const int inPeriod = model.rowCount();
    EXPECT_GT(inPeriod, 0);
    AddRow("2019-12-31", "P2", {});
    EXPECT_EQ(model.rowCount(), inPeriod);
    model.reopen();
    EXPECT_EQ(model.rowCount(), inPeriod + 1);
}

TEST_P(RecordsTest, CountPiecesAddUpToTheCount) {
    // Rows without a date, texts that are no dates, a leap day, the ends of the spans.
    for (const QVariant& date : {QVariant(), QVariant("2019-12-31"), QVariant("2020-01-01"),
                                 QVariant("2020-02-29"), QVariant("2020-03-01"), QVariant("2021-07-15"),
                                 QVariant("2024-12-31"), QVariant("abc"), QVariant("2020-3-7"), QVariant("")})
        for (const char* name : {"A", "B"})
            ExecSql("insert into WorkList (DDate, Name) values (?, ?)", {date, name});
    const QDate dec2019(2019, 12, 31), jan2020(2020, 1, 1), jul2021(2021, 7, 15), dec2024(2024, 12, 31);
    const struct Case {
        RecordFilter filter;
        QDate from, to;
    } cases[] = {
        {RecordFilter(), dec2019, dec2024},
        {RecordFilter(), {}, {}},
        {RecordFilter(), QDate(1900, 1, 1), QDate(2100, 1, 1)},
        {RecordFilter::Period("", jan2020, jul2021), jan2020, jul2021},
        {RecordFilter::Period("A", QDate(2020, 2, 29), QDate(2020, 3, 1)), QDate(2020, 2, 29),
         QDate(2020, 3, 1)},
        {RecordFilter::Period("", jul2021, jul2021), jul2021, jul2021},
    };
    const auto countOf = [](const SqlStatement& st) {
        QSqlQuery q = ExecSql(st.sql, st.values);
        return q.next() ? q.value(0).toInt() : -1;
    };
    for (const Case& c : cases) {
        const QList<SqlStatement> pieces = RecordCountPieces(c.filter, c.from, c.to);
        int sum = 0;
        for (const SqlStatement& piece : pieces)
            sum += countOf(piece);
        EXPECT_EQ(sum, countOf(RecordCountStatement(c.filter))) << c.from.toString().toStdString();
        EXPECT_LE(pieces.size(), 242);
    }
}

TEST_P(RecordsTest, PagesKeepTheOrderAcrossTheirBoundaries) {
    // Groups of equal DDate and Name in their sorted order (null first; 张 sorts before 李), sized
    // so that page ends fall inside groups of every kind of key: no date and no name, no date,
    // no name, both (the server keeps one row per name and date). Rows are added round robin, so
    // ISn alone does not give the order.
    struct Group {
        QVariant date, name;
        int size;
        QList<qint64> isns;
    };
    const int keyed = onServer() ? 1 : 0;
    QList<Group> groups = {{{}, {}, 300},
                           {{}, "张三", 100},
                           {{}, "李四", 200},
                           {"2024-03-01", {}, 200},
                           {"2024-03-01", "张三", keyed ? 1 : 250},
                           {"2024-03-01", "李四", keyed ? 1 : 10},
                           {"2024-03-02", "李四", keyed ? 1 : 300}};
    {
        Transaction t;
        for (int i = 0, added = 1; added;) {
            added = 0;
            for (Group& g : groups) {
                if (i >= g.size) continue;
                QSqlQuery q = ExecSql("insert into WorkList (DDate, Name) values (?, ?) returning ISn",
                                      {g.date, g.name});
                ASSERT_TRUE(q.next());
                g.isns << q.value(0).toLongLong();
                ++added;
            }
            ++i;
        }
        t.commit();
    }
    const auto isnsOf = [&](int from, int to) {
        QList<qint64> out;
        for (int g = from; g < to; ++g)
            out << groups[g].isns;
        return out;
    };
    const struct Case {
        RecordFilter filter;
        QList<qint64> isns;
    } cases[] = {
        {RecordFilter(), isnsOf(0, 7)},
        {RecordFilter::Period("", QDate(2024, 3, 1), QDate(2024, 3, 2)), isnsOf(3, 7)},
        {RecordFilter::Period("李四", QDate(2024, 3, 1), QDate(2024, 3, 2)), isnsOf(5, 7)},
    };
    for (const Case& c : cases) {
        RecordModel model(RecordColumns::Load());
        model.open(c.filter);
        // Asking for the last row finishes the count at once.
        ASSERT_TRUE(model.fetchTo(int(c.isns.size()) - 1));
        EXPECT_FALSE(model.fetchTo(int(c.isns.size())));
        QList<qint64> isns;
        for (int r = 0; r < model.rowCount(); ++r)
            isns << model.field(r, FieldISn).toLongLong();
        EXPECT_EQ(isns, c.isns) << c.filter.name.toStdString();
    }
}

TEST_F(RecordsFileTest, PagesReadThroughAnIndexWithoutSortingTheTable) {
    // Sorting all matching rows for every page would make a grid over a big table slow to open
    // and to scroll: each page starts at its key in an index and sorts at most a day's rows.
    const RecordKey dated{"2024-03-01", "张三", 7}, undated{QVariant(), QVariant(), 7};
    const RecordFilter filters[] = {RecordFilter(),
                                    RecordFilter::Period("", QDate(2024, 3, 1), QDate(2024, 3, 31)),
                                    RecordFilter::Period("张三", QDate(2024, 3, 1), QDate(2024, 3, 31))};
    for (const RecordFilter& filter : filters)
        for (const PageStart& from :
             {PageStart{}, PageStart{&dated}, PageStart{&undated}, PageStart{nullptr, true},
              PageStart{&dated, true, 500}, PageStart{&undated, true}}) {
            const SqlStatement st = RecordPageStatement(filter, from, RecordModel::kPageSize);
            QSqlQuery q = ExecSql("explain query plan " + st.sql, st.values);
            QString plan;
            while (q.next())
                plan += q.value(3).toString() + "\n";
            EXPECT_TRUE(plan.contains("USING INDEX")) << plan.toStdString();
            EXPECT_FALSE(plan.contains("TEMP B-TREE FOR ORDER BY")) << plan.toStdString();
        }
}

TEST_P(RecordsTest, AnOpenGridLetsOtherConnectionsWriteAndShowsTheTableAsItWasOpened) {
    writeShifts({{1, "早班", "08:00:00", "12:00:00", true, false, false}});
    const int rows = 3 * RecordModel::kPageSize;
    {
        Transaction t;
        for (int i = 0; i < rows; ++i)
            AddRow("2024-03-01", QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0')), {"08:00:00"});
        t.commit();
    }
    const RecordColumns columns = RecordColumns::Load();
    RecordModel model(columns);
    model.open(RecordFilter());
    EXPECT_EQ(model.field(0, FieldName).toString(), "P0000");
    {
        // Another station or an import on the same file, failing at once on a lock.
        QSqlDatabase other = openOtherConnection("other", "QSQLITE_BUSY_TIMEOUT=0");
        QSqlQuery q(other);
        EXPECT_TRUE(
            q.exec("insert into WorkList (DDate, Name, T0) values ('2024-03-01', 'P9999', '09:00:00')"))
            << q.lastError().text().toStdString();
        EXPECT_TRUE(q.exec("update WorkList set Comment = 'x', T0 = '09:00:00' where Name = 'P0000'"))
            << q.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase("other");
    // The count taken after the writes, pages read after them, the export and the totals all
    // show the table as it was opened.
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), rows);
    EXPECT_EQ(model.field(rows - 1, FieldName).toString(), "P0767");
    TableRecorder exported;
    EXPECT_EQ(WriteQueryTable(columns, model.filter(), model.snapshot(), "P0000", {}, {&exported}), rows);
    ASSERT_EQ(exported.table.rows.size(), rows);
    EXPECT_EQ(exported.table.rows.first().at(3), "08:00:00");
    EXPECT_EQ(EvaluateRecords(columns.slotTable(), RecordFilter(), model.snapshot())[0].LateCount, 0);
    EXPECT_EQ(EvaluateRecords(columns.slotTable(), RecordFilter())[0].LateCount, 2);
    model.reopen();
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), rows + 1);
    EXPECT_EQ(model.field(0, FieldComment).toString(), "x");
}

TEST_P(RecordsTest, RefreshCompletesOnlyForANameAndExportsTheGrid) {
    writeShifts({{1, "早班", "08:00:00", "12:00:00", true, false, true}});
    AddRow("2024-03-01", "张三", {"08:30:00", "12:00:00"});
    AddRow("2024-03-01", "李四", {"07:30:00"});
    const RecordColumns columns = RecordColumns::Load();

    const RecordFilter everybody = RecordFilter::Period("", QDate(2024, 3, 1), QDate(2024, 3, 3));
    RefreshRecords(columns.slotTable(), everybody);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);

    const RecordFilter person = RecordFilter::Period("张三", QDate(2024, 3, 1), QDate(2024, 3, 3));
    const QList<TSlotTotals> totals = RefreshRecords(columns.slotTable(), person);
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '张三'"), 3);
    EXPECT_EQ(totals[0].LateCount, 1);

    TableRecorder recorder;
    QList<QStringList> each;
    const auto snapshot = std::make_shared<WorkListReader>();
    snapshot->holdSnapshot();
    EXPECT_EQ(WriteQueryTable(columns, person, snapshot, "张三", TotalsLines(columns.slotTable(), totals),
                              {&recorder}, [&](const QStringList& row) { each << row; }),
              3);
    EXPECT_TRUE(recorder.finished);
    const XlsTable& table = recorder.table;
    EXPECT_EQ(each, table.rows);
    EXPECT_EQ(table.headerLines, QStringList({"===张三考勤统计==="}));
    EXPECT_EQ(table.columns, columns.titles());
    ASSERT_EQ(table.rows.size(), 3);
    EXPECT_EQ(table.rows[0], QStringList({"2024-03-01", "周五", "张三", "08:30:00", "12:00:00", "", ""}));
    EXPECT_EQ(table.rows[2], QStringList({"2024-03-03", "周日", "张三", "", "", "", ""}));
    // The date and the slots' times are typed; the late time is red as on the screen.
    EXPECT_EQ(table.kinds, QList<CellKind>({CellKind::Date, CellKind::Text, CellKind::Text, CellKind::Time,
                                            CellKind::Time, CellKind::Text, CellKind::Text}));
    EXPECT_EQ(table.marked, QList<QList<int>>({{3}, {}, {}}));
    EXPECT_EQ(table.footerLines,
              QStringList({"早班迟到次数：1    累计时间：  0:30:00", "早班累计时间：  3:30:00"}));

    // A writer that fails leaves every writer unfinished; the rows still go on to each.
    TableRecorder full, other;
    full.failAt = 1;
    each.clear();
    EXPECT_THROW(WriteQueryTable(columns, person, snapshot, "张三", {}, {&other, &full},
                                 [&](const QStringList& row) { each << row; }),
                 KqError);
    EXPECT_EQ(each.size(), 3);
    EXPECT_FALSE(full.finished || other.finished);
}

TEST_P(RecordsTest, ExportFileStaysInTheDataFolder) {
    EXPECT_EQ(QueryXlsFileName("张三"), DataFolder() + "张三考勤表.XLS");
    EXPECT_EQ(QueryXlsFileName("../a/b"), DataFolder() + ".._a_b考勤表.XLS");
    EXPECT_EQ(QueryXlsFileName("a:b*?"), DataFolder() + "a_b__考勤表.XLS");
}
