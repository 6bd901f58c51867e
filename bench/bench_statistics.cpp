// The period statistics of 500 employees over one year of a two-year table, timed alternately
// with sqlite3's time for one grouped indexed scan of the same period (ratio_med is sqlite3's
// median over ours; the goal is at least 0.5).

#include "core/reports/findinfo.h"
#include "core/reports/statistics.h"
#include "interleaved.h"
#include "worklistdata.h"

#include <benchmark/benchmark.h>

using namespace kq;

namespace {

bench::WorkListData* g_data = nullptr;

void BM_StatisticsYear(benchmark::State& state) {
    const QDate first(2024, 1, 1), last(2024, 12, 31);
    bench::InterleavedMs(
        state, "stats",
        [&] {
            return bench::WallMs([&] {
                // What the window does per confirmed period: read the files, compute every line.
                const QList<TBaseInfo> slotTable = BuildSlotTable(AccumulateOn::OffDuty);
                const QList<LeaveReason> reasons = ReadLeaveReasons(QStringLiteral("SerialNo"));
                benchmark::DoNotOptimize(ComputeStatistics(slotTable, reasons, StatEmployees(), first, last,
                                                           WorkDayCount(first, last)));
            });
        },
        "sqlite3",
        [&] {
            return 1e3 *
                   bench::Sqlite3Seconds(
                       g_data->database(),
                       QStringLiteral("select Name, count(T0), count(T1), count(T2), count(T3), count(T4), "
                                      "count(T5), count(LeaveType) from WorkList where DDate >= '2024-01-01' "
                                      "and DDate <= '2024-12-31' group by Name"),
                       3);
        });
}

BENCHMARK(BM_StatisticsYear)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

} // namespace

int main(int argc, char** argv) {
    return bench::RunOnWorkListData(argc, argv, &g_data);
}
