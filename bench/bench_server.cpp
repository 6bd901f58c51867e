// Punches and statistics on a PostgreSQL server beside the same on SQLite files, on one generated
// table (500 employees, every weekday of 2023 and 2024). The server is a throwaway cluster on a
// Unix socket that flushes every commit to the disk (fsync and synchronous_commit on).
//
// BM_Punch: the first punch of a day (insert) and the second (update), each beside a bare
// single-row insert with a prepared statement on the same connection; x_bare_* is the punch's
// median over the insert's. BM_Statistics: the statistics of 2024 as the window computes them,
// beside one grouped scan of the same period through the same connection; x_scan is the ratio of
// the medians. Measured and reference alternate (A B A B), so that a load on the machine weighs
// on both. Argument server: 0 for SQLite, 1 for PostgreSQL.
#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/engine.h"
#include "core/maintenance/servertransfer.h"
#include "core/punch/brushinfo.h"
#include "core/punch/punchrecorder.h"
#include "core/reports/findinfo.h"
#include "core/reports/statistics.h"
#include "support/pgcluster.h"
#include "worklistdata.h"

#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace kq;

namespace {

QString g_filesFolder;
QString g_stationFolder;
test::PgCluster* g_cluster = nullptr;

void Use(bool server) {
    CloseKQDataBase();
    SetEngine(server ? Engine{EngineKind::PostgreSQL, g_cluster->address()} : Engine{});
    SetDataFolder(server ? g_stationFolder : g_filesFolder);
    OpenKQDataBase(DataFolder());
}

double Median(QList<double> values) {
    if (values.isEmpty()) return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double Micros(QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e3;
}

void BM_Punch(benchmark::State& state) {
    const bool server = state.range(0) != 0;
    Use(server);
    const QList<TBrushInfo> shifts = ReadBrushInfo();
    QSqlQuery bare(KQDataBase());
    bare.prepare(QStringLiteral("insert into WorkList (DDate, Name, T0) values (?, ?, ?)"));
    static int k[2] = {0, 0}; // a benchmark runs more than once: never the same day twice
    QList<double> inserts, updates, bares;
    QElapsedTimer timer;
    for (auto _ : state) {
        const int n = k[server]++;
        const QString card = QString::number(100000 + n % bench::kEmployees);
        const QDate day = QDate(2026, 1, 1).addDays(n / bench::kEmployees);
        timer.start();
        if (!RecordPunch(card, shifts, 0, QDateTime(day, QTime(7, 55))).stored())
            state.SkipWithError("insert not stored");
        inserts << Micros(timer);
        timer.start();
        if (!RecordPunch(card, shifts, 1, QDateTime(day, QTime(12, 5))).stored())
            state.SkipWithError("update not stored");
        updates << Micros(timer);
        timer.start();
        bare.bindValue(0, DateText(day.addYears(10)));
        bare.bindValue(1, QStringLiteral("bare%1").arg(n));
        bare.bindValue(2, QStringLiteral("07:55:00"));
        if (!bare.exec()) state.SkipWithError("bare insert failed");
        bares << Micros(timer);
    }
    state.counters["punch_insert_us"] = Median(inserts);
    state.counters["punch_update_us"] = Median(updates);
    state.counters["bare_insert_us"] = Median(bares);
    state.counters["x_bare_insert"] = Median(inserts) / Median(bares);
    state.counters["x_bare_update"] = Median(updates) / Median(bares);
}

void BM_Statistics(benchmark::State& state) {
    Use(state.range(0) != 0);
    const QDate first(2024, 1, 1), last(2024, 12, 31);
    QList<double> ours, scans;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        // What the window does per confirmed period: read the files, compute every line.
        const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OffDuty);
        const QList<LeaveReason> reasons = ReadLeaveReasons(QStringLiteral("SerialNo"));
        const QList<QStringList> lines =
            ComputeStatistics(slotTable, reasons, StatEmployees(), first, last, WorkDayCount(first, last));
        benchmark::DoNotOptimize(lines);
        ours << Micros(timer) / 1e3;
        timer.start();
        QSqlQuery scan(KQDataBase());
        scan.setForwardOnly(true);
        if (!scan.exec(QStringLiteral("select Name, count(T0), count(T1), count(T2), count(T3), count(T4), "
                                      "count(T5), count(LeaveType) from WorkList where DDate >= '2024-01-01' "
                                      "and DDate <= '2024-12-31' group by Name")))
            state.SkipWithError("scan failed");
        int groups = 0;
        while (scan.next())
            ++groups;
        if (groups != bench::kEmployees) state.SkipWithError("scan incomplete");
        scans << Micros(timer) / 1e3;
    }
    state.counters["stats_ms"] = Median(ours);
    state.counters["scan_ms"] = Median(scans);
    state.counters["x_scan"] = Median(ours) / Median(scans);
}

BENCHMARK(BM_Punch)->ArgName("server")->Arg(0)->Arg(1)->Iterations(2000)->UseRealTime()->Unit(
    benchmark::kMicrosecond);
BENCHMARK(BM_Statistics)
    ->ArgName("server")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(15)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!test::PgCluster::missingReason().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(test::PgCluster::missingReason()));
        return 1;
    }
    bench::WorkListData files;
    g_filesFolder = DataFolder();
    test::PgCluster cluster(true);
    g_cluster = &cluster;
    QTemporaryDir station;
    g_stationFolder = station.path();
    // The same rows and dataset files on the server, copied as a migration does.
    Use(true);
    ImportServerData(g_filesFolder);
    QSqlQuery(KQDataBase()).exec(QStringLiteral("VACUUM ANALYZE"));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseKQDataBase();
    return 0;
}
