#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/maintenance/auditlog.h"
#include "core/maintenance/perioddelete.h"
#include "core/reports/correction.h"
#include "core/shell/operatorinfo.h"
#include "support/pgcluster.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace kq;

class AuditLogFixture : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        CurOperator().Name = "管理员";
    }
    qint64 insert(const QString& date, const QString& name, const QVariant& t0,
                  const QVariant& comment = {}) {
        ExecSql("insert into WorkList (DDate, Name, T0, Comment) values (?, ?, ?, ?)",
                {date, name, t0, comment});
        return ExecSql("select max(ISn) from WorkList").next() ? countRows("select max(ISn) from WorkList")
                                                               : 0;
    }
    // Four entries: an edit, the deletion of a day, and two rows of a period.
    void fourEntries() {
        const qint64 isn = insert("2024-03-01", "张三", "08:10:00");
        UpdateRecord({isn, {{0, QTime(8, 0)}}, "", -1});
        insert("2024-03-02", "张三", "08:00:00");
        DeleteDay(QDate(2024, 3, 2), "张三");
        insert("2024-03-03", "李四", "08:00:00");
        insert("2024-03-04", "李四", "09:00:00");
        EXPECT_EQ(DeletePeriod(QDate(2024, 3, 3), QDate(2024, 3, 4)), 2);
        EXPECT_EQ(ReadAuditLog().size(), 4); // one entry for each row of the period
    }
};

using AuditLogTest = test::OnEachEngine<AuditLogFixture>;
KQ_ON_EACH_ENGINE(AuditLogTest);

TEST_P(AuditLogTest, EveryChangeIsLoggedWithWhoWhenWhichAndTheValues) {
    const qint64 isn = insert("2024-03-01", "张三", "08:10:00", "迟到");
    fakes->clock->current = QDateTime(QDate(2024, 3, 7), QTime(9, 30, 5));
    UpdateRecord({isn, {{0, QTime(8, 0)}, {1, QTime(17, 0)}}, "迟到", -1});
    UpdateRecord({isn, {{0, QTime(8, 0)}}, "迟到", -1}); // changes nothing: no entry
    DeleteDay(QDate(2024, 3, 1), "张三");
    CurOperator().Name.clear(); // the command line
    insert("2024-03-02", "李四", "08:00:00");
    EXPECT_EQ(DeletePeriod(QDate(2024, 3, 2), QDate(2024, 3, 2)), 1);

    const QList<AuditEntry> log = ReadAuditLog();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0].Seq, 1);
    EXPECT_EQ(log[0].EntryTime, "2024-03-07 09:30:05");
    EXPECT_EQ(log[0].OperatorName, "管理员");
    EXPECT_EQ(log[0].Kind, "修改");
    EXPECT_EQ(log[0].RecordKey, QStringLiteral("2024-03-01 张三 (ISn %1)").arg(isn));
    // Only what changed: the comment stayed, no reason before (null) and after (-1) alike.
    EXPECT_EQ(log[0].OldValues, R"({"T0":"08:10:00","T1":null})");
    EXPECT_EQ(log[0].NewValues, R"({"T0":"08:00:00","T1":"17:00:00"})");
    EXPECT_EQ(log[1].Kind, "删除");
    EXPECT_EQ(
        log[1].OldValues,
        R"({"Comment":"迟到","DDate":"2024-03-01","LeaveType":-1,"Name":"张三","T0":"08:00:00","T1":"17:00:00"})");
    EXPECT_EQ(log[1].NewValues, "");
    EXPECT_EQ(log[2].Kind, "数据删除");
    EXPECT_EQ(log[2].OperatorName, "kaoqin-cli:tester");
    EXPECT_EQ(log[2].PrevHash, log[1].EntryHash);
    EXPECT_EQ(log[0].PrevHash, QString(64, '0'));

    const AuditCheck check = VerifyAuditLog();
    EXPECT_TRUE(check.intact());
    EXPECT_EQ(check.entries, 3);
    EXPECT_EQ(AuditCheckText(check), "修改记录完整，共 3 条。");

    // By the day of the entry.
    EXPECT_EQ(ReadAuditLog(QDate(2024, 3, 7), QDate(2024, 3, 7)).size(), 3);
    EXPECT_TRUE(ReadAuditLog(QDate(2024, 3, 8), QDate()).isEmpty());
    EXPECT_TRUE(ReadAuditLog(QDate(), QDate(2024, 3, 6)).isEmpty());
}

TEST_P(AuditLogTest, AnEntryAlteredOrRemovedByHandIsFound) {
    struct Case {
        const char* what;
        const char* sql; // run on a log of four entries
        qint64 broken;   // the first broken entry; 0: intact
    } cases[] = {
        {"an old value changed", "update AuditLog set OldValues = '{}' where Seq = 2", 2},
        {"the operator changed", "update AuditLog set OperatorName = '别人' where Seq = 3", 3},
        {"an entry removed", "delete from AuditLog where Seq = 2", 3},
        {"the first entry removed", "delete from AuditLog where Seq = 1", 2},
        {"entries renumbered after a removal",
         "delete from AuditLog where Seq = 2; update AuditLog set Seq = Seq - 1 where Seq > 2", 2},
        {"the last entry removed (a shorter chain stays whole)", "delete from AuditLog where Seq = 4", 0},
    };
    for (const Case& c : cases) {
        ExecSql("delete from WorkList");
        ExecSql("delete from AuditLog");
        fourEntries();
        ASSERT_TRUE(VerifyAuditLog().intact()) << c.what;
        for (const QString& statement : QString::fromUtf8(c.sql).split(';'))
            ExecSql(statement);
        const AuditCheck check = VerifyAuditLog();
        EXPECT_EQ(check.intact(), c.broken == 0) << c.what;
        if (c.broken) {
            EXPECT_EQ(check.brokenSeq, c.broken) << c.what;
            EXPECT_TRUE(AuditCheckText(check).startsWith(QStringLiteral("修改记录第 %1 条").arg(c.broken)))
                << c.what;
        }
    }

    // An entry altered together with its own hash breaks the link of the one after it.
    ExecSql("delete from WorkList");
    ExecSql("delete from AuditLog");
    fourEntries();
    AuditEntry second = ReadAuditLog()[1];
    second.NewValues = "{}";
    ExecSql("update AuditLog set NewValues = ?, EntryHash = ? where Seq = 2",
            {second.NewValues, AuditHash(second)});
    EXPECT_EQ(VerifyAuditLog().brokenSeq, 3);
}

TEST_P(AuditLogTest, AChangeThatFailsLeavesNoEntry) {
    const qint64 isn = insert("2024-03-01", "张三", "08:10:00");
    if (onServer())
        test::PgCluster::shared()->run(
            "create function refuse() returns trigger as $$ begin raise exception 'refused'; end $$ "
            "language plpgsql; create trigger refuse before update on WorkList for each row execute "
            "function refuse()");
    else
        ExecSql("create trigger refuse before update on WorkList begin select raise(abort, 'refused'); end");
    EXPECT_THROW(UpdateRecord({isn, {{0, QTime(8, 0)}}, "", -1}), KqError);
    EXPECT_TRUE(ReadAuditLog().isEmpty());
    UpdateRecord({isn + 100, {{0, QTime(8, 0)}}, "", -1}); // no such row: nothing to log
    EXPECT_TRUE(ReadAuditLog().isEmpty());
}

TEST_P(AuditLogTest, AnEntryThatCannotBeWrittenUndoesItsChange) {
    const qint64 isn = insert("2024-03-01", "张三", "08:10:00");
    failInserts("AuditLog", "refused");
    EXPECT_THROW(UpdateRecord({isn, {{0, QTime(8, 0)}}, "", -1}), KqError);
    EXPECT_THROW(DeleteDay(QDate(2024, 3, 1), "张三"), KqError);
    EXPECT_THROW(DeletePeriod(QDate(2024, 3, 1), QDate(2024, 3, 1)), KqError);
    allowInserts("AuditLog");
    EXPECT_EQ(countRows("select count(*) from WorkList where T0 = '08:10:00'"), 1);
    EXPECT_TRUE(ReadAuditLog().isEmpty());
}

TEST_P(AuditLogTest, AnotherStationsEntriesContinueTheChain) {
    // An entry written by another station between two of this one: each writer reads the last.
    const qint64 isn = insert("2024-03-01", "张三", "08:10:00");
    insert("2024-03-02", "李四", "08:00:00");
    UpdateRecord({isn, {{0, QTime(8, 0)}}, "", -1});
    QSqlDatabase other = openOtherConnection("station2");
    ASSERT_TRUE(other.transaction());
    AuditWriter(other).append(kAuditEdit, "elsewhere", {}, {});
    ASSERT_TRUE(other.commit());
    DeleteDay(QDate(2024, 3, 2), "李四");
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("station2");
    const QList<AuditEntry> log = ReadAuditLog();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[1].RecordKey, "elsewhere");
    EXPECT_TRUE(VerifyAuditLog().intact());
}
