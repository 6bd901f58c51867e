#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "support/clirunner.h"
#include "support/tempdata.h"
#include "support/testhelpers.h"

#include <gtest/gtest.h>

using namespace kq;

class CliPunchTestFixture : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeDayShifts();
        writeEmployees({{"张三", false, "", 4, 1, 0, "A100"}});
    }
    test::CliResult punch(const QStringList& args) {
        return test::RunCli(cliOptions() + QStringList{"punch"} + args);
    }
};

using CliPunchTest = test::OnEachEngine<CliPunchTestFixture>;
KQ_ON_EACH_ENGINE(CliPunchTest);

TEST_P(CliPunchTest, StoresWithTheAutomaticOrGivenSlotAndRefusesRepeats) {
    test::CliResult r = punch({"a100", "--at", "2024-03-07 07:55:00"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "张三 2024-03-07 07:55:00 早班上班\n");
    r = punch({"A100", "--at", "2024-03-07 12:40:00"}); // automatic choice: 早班下班
    EXPECT_EQ(r.out, "张三 2024-03-07 12:40:00 早班下班\n");
    r = punch({"A100", "--slot", "3", "--at", "2024-03-08 07:00:00"}); // off duty before 13:30: the 7th
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(countRows("select count(*) from WorkList where Name=? and DDate=? and T0='07:55:00' and "
                        "T1='12:40:00' and T3='07:00:00' and T2 is null",
                        {"张三", "2024-03-07"}),
              1);

    r = punch({"A100", "--slot", "0", "--at", "2024-03-07 08:30:00"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "张三 早班上班已刷过卡!\n");
    r = punch({"nobody", "--slot", "0"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "**** 磁卡未注册或失效！\n");
    // Without --at the real clock stamps the punch (a slot is given: the automatic choice depends
    // on the hour, and the attendance day on the slot and the hour).
    r = punch({"A100", "--slot", "2"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(countRows("select count(*) from WorkList where DDate not like '2024-%' and T2 is not null"), 1);

    writeShifts({});
    r = punch({"A100", "--at", "2024-03-09 08:00:00"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith("张三 "));
    EXPECT_EQ(countRows("select count(*) from WorkList where DDate=?", {"2024-03-09"}), 0);
}

TEST_P(CliPunchTest, RefusesWhenNoSlotIsChosenAutomatically) {
    // After the last slot time and far from every shift: nothing is chosen, nothing is guessed.
    for (const char* at : {"2024-03-07 19:00:00", "2024-03-07 22:30:00", "2024-03-07 23:59:59"}) {
        const test::CliResult r = punch({"A100", "--at", at});
        EXPECT_EQ(r.code, 1) << at;
        EXPECT_TRUE(r.err.contains("--slot N, N from 0 to 3")) << r.err.toStdString();
    }
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);

    test::CliResult r = punch({"A100", "--slot", "3", "--at", "2024-03-07 22:30:00"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = punch({"A100", "--at", "2024-03-07 18:00:00"}); // within 30 minutes of 17:30: 午班下班
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "张三 午班下班已刷过卡!\n");
}

TEST_P(CliPunchTest, BadArgumentsExitTwoAndWriteNothing) {
    const QList<QStringList> bad = {
        {},
        {"A100", "B200"},
        {"  "},
        {"A100", "--at", "2024-03-07"},
        {"A100", "--at", "2024-02-30 08:00:00"},
        {"A100", "--slot", "x"},
        {"A100", "--slot", "4"},
        {"A100", "--slot", "-1"},
        {"A100", "--bogus"},
    };
    for (const QStringList& args : bad) {
        const test::CliResult r = punch(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage")) << args.join(' ').toStdString();
    }
    EXPECT_EQ(countRows("select count(*) from WorkList"), 0);
}

TEST_P(CliPunchTest, DoubleSwipeSettingRefusesTheSecondSwipe) {
    const QStringList set = cliOptions() + QStringList{"settings", "set", "--double-swipe"};
    test::CliResult r = test::RunCli(set + QStringList{"90"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(test::RunCli(cliOptions() + QStringList{"settings", "show"}).out,
              "CompanyName\tStartBrush\tIsBeep\tDatabase\tDoubleSwipeSeconds\n考勤管理系统\t0\t1\t" +
                  EngineText() + "\t90\n");
    for (const char* bad : {"-1", "3601", "x"})
        EXPECT_EQ(test::RunCli(set + QStringList{bad}).code, 2) << bad;

    EXPECT_EQ(punch({"A100", "--slot", "0", "--at", "2024-03-07 07:55:00"}).code, 0);
    r = punch({"A100", "--slot", "1", "--at", "2024-03-07 07:56:00"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "张三 早班上班已刷过卡!\n");
    EXPECT_EQ(countRows("select count(*) from WorkList where T1 is not null"), 0);

    ASSERT_EQ(test::RunCli(set + QStringList{"0"}).code, 0); // off again: the list is as before
    EXPECT_EQ(test::RunCli(cliOptions() + QStringList{"settings", "show"}).out,
              "CompanyName\tStartBrush\tIsBeep\tDatabase\n考勤管理系统\t0\t1\t" + EngineText() + "\n");
    EXPECT_EQ(punch({"A100", "--slot", "1", "--at", "2024-03-07 07:56:00"}).code, 0);
}

TEST_P(CliPunchTest, ImportStoresGoodLinesReportsRefusalsAndSkipsWhatIsStored) {
    writeEmployees({{"张三", false, "", 4, 1, 0, "A100"}, {"李四", false, "", 4, 2, 0, "B200"}});
    ASSERT_EQ(punch({"A100", "--slot", "1", "--at", "2024-03-07 12:01:00"}).code, 0); // stored before
    const QString file = dir.filePath("swipes.txt");
    ASSERT_TRUE(test::WriteBytes(file, QByteArray("\xEF\xBB\xBF"
                                                  "A100\t2024-03-07 07:55:00\r\n"  // 1 good, slot 0 chosen
                                                  "b200\t2024-03-07 13:40:00\t2\n" // 2 good, slot given
                                                  "A999\t2024-03-07 08:00:00\n"    // 3 unknown card
                                                  "A100\t2024-03-07 12:01:00\t1\n" // 4 identical to stored
                                                  "B200\t2024-03-07 13:45:00\t2\n" // 5 slot already punched
                                                  "A100\t2024-03-07 25:00:00\n"    // 6 malformed time
                                                  "A100 2024-03-07 08:00:00\n"     // 7 no tab
                                                  "A100\t2024-03-08 08:00:00\t9\n" // 8 no such slot
                                                  "\n"                             // 9 blank: skipped
                                                  "A100\t2024-03-08 07:59:00\t0\tmore\n" // 10 too many fields
                                                  "A100\t2024-03-08 07:58:00\t0"))); // 11 good, no newline
    test::CliResult r = punch({"--import", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "stored 3, already stored 1, refused 6\n");
    const QStringList refused = r.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(refused.size(), 6) << r.err.toStdString();
    EXPECT_EQ(refused.at(0), "line 3 (A999): **** 磁卡未注册或失效！");
    EXPECT_EQ(refused.at(1), "line 5 (B200): 李四 午班上班已刷过卡!");
    EXPECT_TRUE(refused.at(2).startsWith("line 6 (A100): expected CARD"));
    EXPECT_TRUE(refused.at(3).startsWith("line 7 (A100 2024-03-07 08:00:00): expected CARD"));
    EXPECT_EQ(refused.at(4), "line 8 (A100): no slot 9: slots are 0 to 3");
    EXPECT_TRUE(refused.at(5).startsWith("line 10 (A100): expected CARD"));
    EXPECT_EQ(countRows("select count(*) from WorkList where Name='张三' and DDate='2024-03-07' and "
                        "T0='07:55:00' and T1='12:01:00'"),
              1);
    EXPECT_EQ(countRows("select count(*) from WorkList where Name='李四' and T2='13:40:00'"), 1);
    EXPECT_EQ(countRows("select count(*) from WorkList where DDate='2024-03-08' and T0='07:58:00'"), 1);

    // Only the good lines again, twice: nothing new, exit 0.
    ASSERT_TRUE(test::WriteBytes(file, "A100\t2024-03-07 07:55:00\nb200\t2024-03-07 13:40:00\t2\n"));
    for (int i = 0; i < 2; ++i) {
        r = punch({"--import", file});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, "stored 0, already stored 2, refused 0\n");
    }
    EXPECT_EQ(countRows("select count(*) from WorkList"), 3);

    EXPECT_EQ(punch({"--import", dir.filePath("missing.txt")}).code, 1);
    EXPECT_EQ(punch({"--import", file, "A100"}).code, 2);
    EXPECT_EQ(punch({"--import", file, "--slot", "1"}).code, 2);
}
