#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "support/clirunner.h"
#include "support/pgcluster.h"
#include "support/testhelpers.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

// The same month of records, awkward values included, in a data folder of either engine.
void Fill(const Engine& engine, const QString& folder) {
    SetDataFolder(folder);
    SetEngine(engine);
    CreateMissingDataFiles(DataFolder());
    OpenKQDataBase(DataFolder());
    DataSet::writeFile(DataFile("ShiftTime.dat"), ShiftTimeFields(),
                       {{1, "早班", "08:00:00", "12:00:00", true, true, true},
                        {2, "夜班", "22:00:00", "06:00:00", true, true, true}});
    const QStringList names{"张三", "李四", "O'Neil", "alice", "Bob", "bob", "Ärger", "王五"};
    QList<QVariantList> employees;
    for (int i = 0; i < names.size(); ++i)
        employees.append({names[i], false, "", 4, 100 + i, i % 3, QStringLiteral("C%1").arg(i)});
    DataSet::writeFile(DataFile("Employee.dat"), EmployeeFields(), employees);

    QRandomGenerator random(20240301);
    // Mostly the stored form, sometimes none, midnight, or texts typed or imported otherwise.
    const auto time = [&](int hour) -> QVariant {
        const QTime t = QTime(hour, 0).addSecs(random.bounded(-5400, 5400));
        switch (random.bounded(24)) {
        case 0:
            return {};
        case 1:
            return QStringLiteral("00:00:00");
        case 2:
            return QString();
        case 3:
            return t.toString("h:m:s");
        case 4:
            return t.toString("hh:mm");
        case 5:
            return QStringLiteral("24:00:00");
        case 6:
            return " " + TimeText(t);
        default:
            return TimeText(t);
        }
    };
    Transaction t;
    for (int day = 1; day <= 31; ++day)
        for (const QString& name : names) {
            if (random.bounded(5) == 0) continue; // a missing day
            const int leave = random.bounded(8);
            ExecSql("insert into WorkList (DDate, Name, T0, T1, T2, T3, LeaveType, Comment) "
                    "values (?, ?, ?, ?, ?, ?, ?, ?)",
                    {DateText(QDate(2024, 3, day)), name, time(8), time(12), time(22), time(6),
                     leave < 5 ? QVariant(leave) : QVariant(), leave == 7 ? "说明 'quoted'" : QVariant()});
        }
    ExecSql("insert into WorkList (DDate, T0) values ('2024-03-05', '07:00:00')"); // no name
    t.commit();
    CloseKQDataBase();
    SetEngine({});
}

} // namespace

// The reports come out byte for byte the same from the SQLite files and from the server.
TEST(EnginesAgree, QueryAndStatsAreIdenticalOnBothEngines) {
    test::PgCluster* cluster = test::PgCluster::shared();
    if (!cluster) GTEST_SKIP() << qPrintable(test::PgCluster::missingReason());
    cluster->reset();
    QTemporaryDir sqliteFolder, serverFolder;
    Fill({}, sqliteFolder.path());
    Fill({EngineKind::PostgreSQL, cluster->address()}, serverFolder.path());

    const QList<QStringList> reports = {
        {"query", "--from", "2024-03-01", "--to", "2024-03-31"},
        {"query", "--from", "2024-03-01", "--to", "2024-04-02", "--name", "O'Neil"},
        {"query", "--from", "2024-02-28", "--to", "2024-03-10", "--name", "bob"},
        {"stats", "--from", "2024-03-01", "--to", "2024-03-31"},
        {"stats", "--from", "2024-03-10", "--to", "2024-03-12"},
    };
    for (const QStringList& report : reports) {
        const QString what = report.join(' ');
        const test::CliResult onFiles =
            test::RunCli(QStringList{"--data", sqliteFolder.path()} + report +
                         QStringList{"--csv", sqliteFolder.filePath("files.csv")});
        const test::CliResult onServer =
            test::RunCli(QStringList{"--data", serverFolder.path(), "--database", cluster->url()} + report +
                         QStringList{"--csv", serverFolder.filePath("server.csv")});
        ASSERT_EQ(onFiles.code, 0) << qPrintable(what + onFiles.err);
        ASSERT_EQ(onServer.code, 0) << qPrintable(what + onServer.err);
        EXPECT_GT(onFiles.out.count('\n'), 5) << qPrintable(what);
        EXPECT_EQ(onServer.out.toUtf8(), onFiles.out.toUtf8()) << qPrintable(what);
        EXPECT_EQ(test::ReadBytes(serverFolder.filePath("server.csv")),
                  test::ReadBytes(sqliteFolder.filePath("files.csv")))
            << qPrintable(what);
    }
}
