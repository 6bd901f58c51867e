#include "support/clirunner.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

TEST(CliSetup, ShiftDeleteRenumbers) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    ASSERT_EQ(test::RunCli({"--data", data, "shift", "add", "夜班", "22:00", "06:00"}).code, 0);
    test::CliResult r = test::RunCli({"--data", data, "shift", "delete", "1"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli({"--data", data, "shift", "list"});
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts).mid(1),
              QStringList({"1\t下午\t13:30:00\t17:30:00\t1\t1\t1", "2\t夜班\t22:00:00\t06:00:00\t0\t0\t0"}));

    r = test::RunCli({"--data", data, "shift", "delete", "7"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    for (const QStringList& bad : {QStringList{"shift", "delete"}, QStringList{"shift", "delete", "x"},
                                   QStringList{"shift", "delete", "1", "2"}})
        EXPECT_EQ(test::RunCli(QStringList({"--data", data}) + bad).code, 2) << bad.join(' ').toStdString();
    EXPECT_EQ(test::RunCli({"--data", data, "shift", "list"}).out.count('\n'), 3);
}

TEST(CliSetup, SettingsShowAndSet) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    test::CliResult r = test::RunCli({"--data", data, "settings", "show"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "CompanyName\tStartBrush\tIsBeep\tDatabase\n考勤管理系统\t0\t1\tSQLite\n");
    r = test::RunCli({"--data", data, "settings", "set", "--company", "某公司", "--start-brush", "on"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(test::RunCli({"--data", data, "settings", "show"}).out.split('\n').at(1),
              "某公司\t1\t1\tSQLite");
    r = test::RunCli({"--data", data, "settings", "set", "--beep", "off"});
    EXPECT_EQ(test::RunCli({"--data", data, "settings", "show"}).out.split('\n').at(1),
              "某公司\t1\t0\tSQLite");

    const QList<QStringList> bad = {
        {"settings", "set"},
        {"settings", "set", "--beep", "yes"},
        {"settings", "set", "--beep"},
        {"settings", "set", "--company", QString(21, QChar(0x4E00))},
        {"settings", "set", "--company", "x", "extra"},
        {"settings", "show", "x"},
        {"settings"},
    };
    for (const QStringList& args : bad) {
        r = test::RunCli(QStringList({"--data", data}) + args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    }
    EXPECT_EQ(test::RunCli({"--data", data, "settings", "show"}).out.split('\n').at(1),
              "某公司\t1\t0\tSQLite");
}

TEST(CliSetup, ShiftGraceMinutes) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    test::CliResult r = test::RunCli({"--data", data, "shift", "add", "夜班", "22:00", "06:00", "--late",
                                      "--late-grace", "5", "--early-grace", "0"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = test::RunCli({"--data", data, "shift", "list"});
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              QStringList({"SerialNo\tShiftName\tBeginTime\tEndTime\tCheckBegin\tCheckEnd\tIsCalculate\tLateG"
                           "race\tEarlyGrace",
                           "1\t上午\t08:00:00\t12:00:00\t1\t1\t1\t0\t0",
                           "2\t下午\t13:30:00\t17:30:00\t1\t1\t1\t0\t0",
                           "3\t夜班\t22:00:00\t06:00:00\t1\t0\t0\t5\t0"}));

    for (const QStringList& bad : {QStringList{"--late-grace", "-1"}, QStringList{"--early-grace", "721"},
                                   QStringList{"--late-grace", "x"}}) {
        r = test::RunCli(QStringList({"--data", data, "shift", "add", "丙", "01:00", "02:00"}) + bad);
        EXPECT_EQ(r.code, 2) << bad.join(' ').toStdString();
    }
    EXPECT_EQ(test::RunCli({"--data", data, "shift", "list"}).out.count('\n'), 4);
}

TEST(CliSetup, CalendarAddListDelete) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Data");
    ASSERT_EQ(test::RunCli({"--data", data, "init"}).code, 0);
    test::CliResult r =
        test::RunCli({"--data", data, "calendar", "add", "2024-10-01", "--holiday", "国庆节"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(test::RunCli({"--data", data, "calendar", "add", "2024-09-29", "--workday"}).code, 0);
    EXPECT_EQ(test::RunCli({"--data", data, "calendar", "add", "2024-10-01", "--holiday", "国庆"}).code, 0);
    r = test::RunCli({"--data", data, "calendar", "list"});
    EXPECT_EQ(
        r.out,
        "DDate\tDayOfWeek\tKind\tDayName\n2024-09-29\t周日\tworkday\t\n2024-10-01\t周二\tholiday\t国庆\n");

    // A period with the holiday and the make-up Sunday: as many days to attend as a plain week.
    r = test::RunCli({"--data", data, "stats", "--from", "2024-09-29", "--to", "2024-10-05"});
    const QStringList lines = r.out.split('\n');
    const qsizetype days = lines.value(0).split('\t').indexOf("应出勤天数");
    ASSERT_GE(days, 0) << r.out.toStdString();
    EXPECT_EQ(lines.value(1).split('\t').value(days), "5") << r.out.toStdString();

    EXPECT_EQ(test::RunCli({"--data", data, "calendar", "delete", "2024-10-01"}).code, 0);
    r = test::RunCli({"--data", data, "calendar", "delete", "2024-10-01"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    const QList<QStringList> bad = {
        {"calendar", "add", "2024-10-01"},
        {"calendar", "add", "2024-10-01", "--holiday", "--workday"},
        {"calendar", "add", "2024-13-01", "--holiday"},
        {"calendar", "add", "2024-10-01", "--holiday", "一二三四五六七八九十甲"},
        {"calendar", "add", "2024-10-01", "--holiday", "a", "b"},
        {"calendar", "delete"},
        {"calendar", "list", "x"},
        {"calendar"},
    };
    for (const QStringList& args : bad)
        EXPECT_EQ(test::RunCli(QStringList({"--data", data}) + args).code, 2) << args.join(' ').toStdString();
    EXPECT_EQ(test::RunCli({"--data", data, "calendar", "list"}).out.count('\n'), 2);
}
