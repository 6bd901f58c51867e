// The period statistics of 500 employees over one year of a two-year table, beside sqlite3's time
// for one grouped indexed scan of the same period (counter sqlite3_ms; x_sqlite3 is our time over
// it; the goal is at most 2).

#include "core/reports/findinfo.h"
#include "core/reports/statistics.h"
#include "worklistdata.h"

#include <benchmark/benchmark.h>

using namespace kq;

namespace {

bench::WorkListData* g_data = nullptr;

void BM_StatisticsYear(benchmark::State& state) {
    const QDate first(2024, 1, 1), last(2024, 12, 31);
    QElapsedTimer timer;
    qint64 ns = 0;
    for (auto _ : state) {
        timer.start();
        // What the window does per confirmed period: read the files, compute every line.
        const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OffDuty);
        const QList<LeaveReason> reasons = ReadLeaveReasons(QStringLiteral("SerialNo"));
        const QList<QStringList> lines =
            ComputeStatistics(slotTable, reasons, StatEmployees(), first, last, WorkDayCount(first, last));
        benchmark::DoNotOptimize(lines);
        ns += timer.nsecsElapsed();
    }
    bench::ReportBesideSqlite3(
        state, ns / 1e9, g_data->database(),
        QStringLiteral("select Name, count(T0), count(T1), count(T2), count(T3), count(T4), "
                       "count(T5), count(LeaveType) from WorkList where DDate >= '2024-01-01' "
                       "and DDate <= '2024-12-31' group by Name"));
}

BENCHMARK(BM_StatisticsYear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunOnWorkListData(argc, argv, &g_data);
}
