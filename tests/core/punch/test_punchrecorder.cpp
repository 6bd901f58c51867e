#include "core/data/database.h"
#include "core/data/kqerror.h"
#include "core/punch/punchrecorder.h"
#include "support/tempdata.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace kq;

namespace {

QDateTime At(int day, int h, int m, int s = 0, int ms = 0) {
    return QDateTime(QDate(2024, 3, day), QTime(h, m, s, ms));
}

} // namespace

class PunchFixture : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeDayShifts();
        writeEmployees({{"张三", false, "", 4, 1, 0, "A100"},
                        {"O'Neil", false, "", 4, 2, 0, "it's 卡 7"},
                        {"李四", false, "", 4, 3, 0, "B200"},
                        {"李四", false, "", 4, 4, 0, "B201"}});
        shifts = ReadBrushInfo();
    }
    // The slot columns T0..T4 of name's row of date ("-" for null), or empty when there is no row.
    QStringList rowTimes(const QString& name, const QString& date) {
        QSqlQuery q =
            ExecSql("select T0, T1, T2, T3, T4 from WorkList where Name=? and DDate=?", {name, date});
        QStringList out;
        if (!q.next()) return out;
        for (int i = 0; i < 5; ++i)
            out << (q.value(i).isNull() ? QStringLiteral("-") : q.value(i).toString());
        return out;
    }
    PunchResult punch(const QString& card, int slot, const QDateTime& now) {
        return RecordPunch(card, shifts, slot, now);
    }
    QList<TBrushInfo> shifts;
};

// Every test but the one on SQLite's file lock runs on both engines.
using PunchTest = test::OnEachEngine<PunchFixture>;
KQ_ON_EACH_ENGINE(PunchTest);
using PunchFileTest = PunchFixture;

TEST_P(PunchTest, InsertThenUpdateThenAlreadyPunched) {
    PunchResult r = punch("A100", 0, At(7, 7, 55, 30, 250));
    EXPECT_EQ(r.outcome, PunchOutcome::Stored);
    EXPECT_EQ(r.line, "张三 2024-03-07 07:55:30 早班上班");
    EXPECT_EQ(r.beepKind, BeepConfirm);
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"07:55:30", "-", "-", "-", "-"}));
    // Committed: another connection sees the row.
    {
        QSqlDatabase other = openOtherConnection("other");
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec("select count(*) from WorkList where T0='07:55:30'") && q.next());
        EXPECT_EQ(q.value(0).toInt(), 1);
    }
    QSqlDatabase::removeDatabase("other");

    r = punch("A100", 1, At(7, 12, 1, 2));
    EXPECT_EQ(r.line, "张三 2024-03-07 12:01:02 早班下班");
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"07:55:30", "12:01:02", "-", "-", "-"}));

    r = punch("A100", 0, At(7, 8, 10));
    EXPECT_EQ(r.outcome, PunchOutcome::AlreadyPunched);
    EXPECT_EQ(r.line, "张三 早班上班已刷过卡!");
    EXPECT_EQ(r.beepKind, BeepAlarm);
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"07:55:30", "12:01:02", "-", "-", "-"}));
    EXPECT_EQ(countRows("select count(*) from WorkList"), 1);
}

TEST_P(PunchTest, MidnightPunchCountsAsNoPunch) {
    // Stored at 00:00:00 (the milliseconds are dropped), the slot reads as empty and takes
    // the next punch.
    ASSERT_TRUE(punch("A100", 1, At(8, 0, 0, 0, 400)).stored()); // off duty before 08:00: the 7th
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"-", "00:00:00", "-", "-", "-"}));
    PunchResult r = punch("A100", 1, At(8, 0, 5));
    EXPECT_TRUE(r.stored());
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"-", "00:05:00", "-", "-", "-"}));
    // An empty text counts as no punch as well.
    ExecSql("update WorkList set T2='' where Name=?", {"张三"});
    EXPECT_TRUE(punch("A100", 2, At(7, 13, 31)).stored());
}

TEST_P(PunchTest, AttendanceDateRuleAndTheLineShowsThePunchTime) {
    // Off duty at 07:00 on the 8th counts for the 7th; on duty after 12:00 for the next day.
    PunchResult r = punch("A100", 1, At(8, 7, 0));
    EXPECT_EQ(r.line, "张三 2024-03-08 07:00:00 早班下班");
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"-", "07:00:00", "-", "-", "-"}));
    punch("A100", 0, At(8, 12, 30));
    EXPECT_EQ(rowTimes("张三", "2024-03-09"), QStringList({"12:30:00", "-", "-", "-", "-"}));
}

TEST_P(PunchTest, CardsAreMatchedIgnoringCaseAndTakenLiterally) {
    EXPECT_EQ(punch("a100", 2, At(7, 13, 30)).line, "张三 2024-03-07 13:30:00 午班上班");
    // Quotes, inner spaces and Chinese characters are just part of the card; a quote in the
    // name goes into the row unchanged.
    EXPECT_TRUE(punch("IT'S 卡 7", 0, At(7, 8, 0)).stored());
    EXPECT_EQ(rowTimes("O'Neil", "2024-03-07"), QStringList({"08:00:00", "-", "-", "-", "-"}));
    for (const char* card : {"it's", "卡 7", "A10", "A100 ", "%", "' or '1'='1"}) {
        const PunchResult r = punch(card, 0, At(7, 9, 0));
        EXPECT_EQ(r.outcome, PunchOutcome::UnknownCard) << card;
        EXPECT_EQ(r.line, "**** 磁卡未注册或失效！");
        EXPECT_EQ(r.beepKind, BeepAlarm);
    }
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
}

TEST_P(PunchTest, EveryChangeOfEmployeeDatCountsAtTheNextSwipe) {
    ASSERT_TRUE(punch("A100", 0, At(7, 8, 0)).stored());
    // Same path, same size, most likely the same second: only the bytes (or the server
    // document's version) tell the new card.
    const qint64 size = QFileInfo(path("Employee.dat")).size();
    writeEmployees({{"张三", false, "", 4, 1, 0, "A109"},
                    {"O'Neil", false, "", 4, 2, 0, "it's 卡 7"},
                    {"李四", false, "", 4, 3, 0, "B200"},
                    {"李四", false, "", 4, 4, 0, "B201"}});
    ASSERT_EQ(QFileInfo(path("Employee.dat")).size(), size);
    EXPECT_EQ(QFileInfo::exists(path("Employee.dat")), !onServer()); // nothing local on the server
    EXPECT_EQ(punch("A109", 0, At(8, 8, 0)).line, "张三 2024-03-08 08:00:00 早班上班");
    EXPECT_EQ(punch("A100", 0, At(9, 8, 0)).outcome, PunchOutcome::UnknownCard);

    writeEmployees({{"张三", false, "", 4, 1, 0, "A109"}, {"王五", false, "", 4, 2, 0, "D300"}});
    EXPECT_EQ(punch("D300", 0, At(9, 8, 0)).line, "王五 2024-03-09 08:00:00 早班上班");
    // A card handed to another employee (at another station) counts for its new holder at once.
    writeEmployees({{"张三", false, "", 4, 1, 0, "D300"}, {"王五", false, "", 4, 2, 0, "A109"}});
    EXPECT_EQ(punch("A109", 2, At(9, 13, 30)).line, "王五 2024-03-09 13:30:00 午班上班");

    // A file gone is an error, never an answer from the cards read before.
    removeDataFile("Employee.dat");
    EXPECT_THROW(punch("D300", 1, At(9, 12, 0)), KqError);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 3);
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = ? and T2 = '13:30:00'", {"王五"}), 1);
}

TEST_P(PunchTest, ACardOfAnEmployeeWithoutANameIsRefused) {
    // Such a row would be deleted at the next start of the main window: refusing it is honest.
    writeEmployees({{"", false, "", 4, 5, 0, "C300"}});
    const PunchResult r = punch("C300", 0, At(7, 8, 0));
    EXPECT_EQ(r.outcome, PunchOutcome::UnknownCard);
    EXPECT_EQ(r.line, "**** 磁卡未注册或失效！");
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);
}

TEST_P(PunchTest, SameNameSharesOneRow) {
    ASSERT_TRUE(punch("B200", 0, At(7, 8, 0)).stored());
    EXPECT_EQ(punch("B201", 0, At(7, 8, 1)).outcome, PunchOutcome::AlreadyPunched);
    EXPECT_TRUE(punch("B201", 1, At(7, 12, 0)).stored());
    EXPECT_EQ(countRows("select count(*) from WorkList where Name=?", {"李四"}), 1);
}

TEST_P(PunchTest, NoShiftsRefusesRegisteredCardsWithoutWriting) {
    shifts.clear();
    PunchResult r = punch("A100", -1, At(7, 8, 0));
    EXPECT_EQ(r.outcome, PunchOutcome::NoShift);
    EXPECT_EQ(r.beepKind, BeepAlarm);
    EXPECT_TRUE(r.line.startsWith("张三 "));
    EXPECT_EQ(punch("X", -1, At(7, 8, 0)).outcome, PunchOutcome::UnknownCard);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);
    shifts = ReadBrushInfo();
    EXPECT_THROW(punch("A100", 4, At(7, 8, 0)), KqError); // a slot beyond the shift list
}

TEST_P(PunchTest, StorageFailuresWriteNothingAndLeaveTheStoreUsable) {
    failInserts("WorkList", "disk is full");
    try {
        punch("A100", 0, At(7, 8, 0));
        FAIL() << "no error";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().contains("disk is full")) << qPrintable(e.message());
    }
    allowInserts("WorkList");
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);
    EXPECT_TRUE(punch("A100", 0, At(7, 8, 0)).stored()); // no transaction was left open

    ExecSql("update WorkList set T1='late' where Name=?", {"张三"});
    EXPECT_THROW(punch("A100", 1, At(7, 12, 0)), KqError); // unreadable stored time: not overwritten
    EXPECT_EQ(rowTimes("张三", "2024-03-07")[1], "late");

    removeDataFile("Employee.dat");
    EXPECT_THROW(punch("A100", 0, At(7, 8, 0)), KqError);
}

TEST_F(PunchFileTest, WaitsForAnotherWriterInsteadOfFailing) {
    // Another connection (an import through the command line, say) is writing when the card
    // is swiped; the punch waits for it and is stored.
    ASSERT_TRUE(punch("A100", 0, At(7, 8, 0)).stored());
    std::atomic<bool> writing{false};
    std::thread other([&] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
            db.setDatabaseName(path("WorkList.db"));
            db.open();
            QSqlQuery q(db);
            q.exec("begin immediate");
            q.exec("insert into WorkList (DDate, Name) values ('2024-03-01', 'x')");
            writing = true;
            QThread::msleep(300);
            q.exec("commit");
        }
        QSqlDatabase::removeDatabase("writer");
    });
    while (!writing)
        QThread::msleep(5);
    PunchResult r;
    EXPECT_NO_THROW(r = punch("A100", 1, At(7, 12, 0)));
    other.join();
    EXPECT_TRUE(r.stored());
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
}

TEST(BrushBeep, TonesOnlyWhenTheSettingIsOn) {
    struct Case {
        int kind;
        bool isBeep;
        QList<QPair<int, int>> tones;
    } cases[] = {
        {BeepConfirm, true, {{4000, 400}}},
        {BeepAlarm, true, {{1000, 150}, {2000, 150}, {1000, 150}, {2000, 150}, {1000, 150}}},
        {BeepConfirm, false, {}},
        {BeepAlarm, false, {}},
    };
    for (const Case& c : cases) {
        test::Fakes fakes;
        BrushBeep(c.kind, c.isBeep);
        EXPECT_EQ(fakes.speaker->tones, c.tones) << c.kind << " " << c.isBeep;
    }
}

// With the double-swipe refusal on, a swipe less than N seconds after the person's last stored
// punch is refused whatever slot is selected, naming the earlier punch's slot; at N seconds it
// is stored. Off (0), the nervous second swipe lands in the next slot as it always did.
TEST_P(PunchTest, DoubleSwipeRefusedWithinTheIntervalWhateverTheSlot) {
    ASSERT_TRUE(RecordPunch("A100", shifts, 0, At(7, 8, 0, 0), 60).stored());
    struct Case {
        int slot;
        QDateTime at;
        bool stored;
    } cases[] = {
        {1, At(7, 8, 0, 30), false},
        {2, At(7, 8, 0, 59, 999), false},
        {2, At(7, 8, 1, 0), true},   // 60 s later: stored in 午班上班
        {3, At(7, 8, 1, 40), false}, // 40 s after that one
    };
    for (const Case& c : cases) {
        const PunchResult r = RecordPunch("A100", shifts, c.slot, c.at, 60);
        EXPECT_EQ(r.stored(), c.stored) << c.at.toString().toStdString();
        if (!c.stored) {
            EXPECT_EQ(r.line, c.at < At(7, 8, 1) ? "张三 早班上班已刷过卡!" : "张三 午班上班已刷过卡!");
        }
    }
    EXPECT_EQ(rowTimes("张三", "2024-03-07"), QStringList({"08:00:00", "-", "08:01:00", "-", "-"}));
    EXPECT_TRUE(RecordPunch("A100", shifts, 1, At(7, 8, 1, 5), 0).stored()); // off: stored at once

    // An overnight shift: a punch just after midnight is filed under the day before, and is
    // still found as seconds ago, not a day and seconds.
    writeShifts({{1, "夜班", "23:00:00", "07:00:00", true, true, true}});
    const QList<TBrushInfo> night = ReadBrushInfo();
    ASSERT_TRUE(RecordPunch("B200", night, 0, At(9, 0, 0, 10), 0).stored());
    EXPECT_EQ(rowTimes("李四", "2024-03-08").mid(0, 2), QStringList({"00:00:10", "-"}));
    const PunchResult r = RecordPunch("B200", night, 1, At(9, 0, 0, 40), 60);
    EXPECT_EQ(r.outcome, PunchOutcome::AlreadyPunched);
    EXPECT_EQ(r.line, "李四 夜班上班已刷过卡!");
    EXPECT_TRUE(RecordPunch("B200", night, 1, At(9, 0, 1, 10), 60).stored());
}

// A batch commits every batchSize stored swipes; what it has not committed when it ends is
// rolled back, and recording committed swipes again finds them Identical.
TEST_P(PunchTest, BatchCommitsInBatchesAndSkipsIdenticalSwipes) {
    const auto committed = [&] {
        int n = -1;
        {
            QSqlDatabase other = openOtherConnection("other");
            QSqlQuery q(other);
            if (q.exec("select count(*) from WorkList") && q.next()) n = q.value(0).toInt();
        }
        QSqlDatabase::removeDatabase("other");
        return n;
    };
    {
        PunchBatch batch(shifts, 0, 2);
        EXPECT_TRUE(batch.add("A100", 0, At(7, 7, 55)).stored());
        EXPECT_EQ(batch.add("nobody", 0, At(7, 7, 56)).outcome, PunchOutcome::UnknownCard);
        EXPECT_EQ(committed(), 0);
        EXPECT_TRUE(batch.add("b200", 0, At(7, 7, 57)).stored());
        EXPECT_EQ(committed(), 2); // the second stored swipe committed the batch
        EXPECT_TRUE(batch.add("A100", 0, At(8, 7, 58)).stored());
        EXPECT_EQ(batch.add("A100", 0, At(8, 7, 58)).outcome, PunchOutcome::Identical); // seen uncommitted
        EXPECT_EQ(batch.add("A100", 0, At(8, 8, 30)).line, "张三 早班上班已刷过卡!");
    } // ends without commit()
    EXPECT_EQ(committed(), 2);

    PunchBatch again(shifts, 0);
    EXPECT_EQ(again.add("A100", 0, At(7, 7, 55)).outcome, PunchOutcome::Identical);
    EXPECT_EQ(again.add("A100", 0, At(7, 8, 0)).outcome, PunchOutcome::AlreadyPunched);
    EXPECT_THROW(again.add("A100", 4, At(7, 8, 0)), KqError);
    again.commit();
    EXPECT_EQ(committed(), 2);
    // A single swipe of the very time already stored is answered as before.
    EXPECT_EQ(punch("A100", 0, At(7, 7, 55)).outcome, PunchOutcome::AlreadyPunched);
}

TEST(PunchAnswer, NameTimeAndSlotOrTheRefusal) {
    const QDateTime now(QDate(2024, 3, 7), QTime(8, 1, 5));
    struct Case {
        PunchOutcome outcome;
        const char* first;
        const char* second;
        bool stored;
    } cases[] = {
        {PunchOutcome::Stored, "张三", "08:01:05  早班上班", true},
        {PunchOutcome::AlreadyPunched, "张三", "早班上班已刷过卡!", false},
        {PunchOutcome::UnknownCard, "卡号 0042", "磁卡未注册或失效！", false},
        {PunchOutcome::NoShift, "张三", "未设置班时，刷卡无效！", false},
    };
    for (const Case& c : cases) {
        PunchResult result;
        result.outcome = c.outcome;
        if (c.outcome != PunchOutcome::UnknownCard) result.name = "张三";
        result.label = "早班上班";
        const PunchAnswer answer = AnswerOf(result, "0042", now);
        EXPECT_EQ(answer.first, c.first);
        EXPECT_EQ(answer.second, c.second);
        EXPECT_EQ(answer.stored, c.stored);
    }
    EXPECT_EQ(FailureAnswer("磁盘已满").second, "磁盘已满");
    EXPECT_FALSE(FailureAnswer("磁盘已满").stored);
}
