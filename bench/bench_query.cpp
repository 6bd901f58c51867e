// The attendance query on 500 employees over two years: opening the window on the whole table,
// one person's year and everybody's month, each beside sqlite3's time for a plain indexed select
// of the same rows (counter sqlite3_ms; x_sqlite3 is our time over it).

#include "core/reports/attendancequery.h"
#include "core/reports/recordmodel.h"
#include "worklistdata.h"

#include <benchmark/benchmark.h>

using namespace kq;

namespace {

bench::WorkListData* g_data = nullptr;

const QString kColumns =
    QStringLiteral("DDate, Name, T0, T1, T2, T3, T4, T5, T6, T7, T8, T9, T10, T11, T12, T13, "
                   "T14, T15, T16, T17, T18, T19, LeaveType, Comment, ISn");

// What the grid shows of a freshly opened query: the cells of the first screen.
void ReadFirstScreen(const RecordModel& model) {
    for (int r = 0; r < std::min(30, model.rowCount()); ++r)
        for (int c = 0; c < model.columnCount(); ++c) {
            benchmark::DoNotOptimize(model.data(model.index(r, c)));
            benchmark::DoNotOptimize(model.data(model.index(r, c), RecordModel::MarkedRole));
        }
}

void Report(benchmark::State& state, double ourSeconds, const QString& sql) {
    bench::ReportBesideSqlite3(state, ourSeconds, g_data->database(), sql);
}

void BM_OpenQueryWindow(benchmark::State& state) {
    QElapsedTimer timer;
    qint64 ns = 0;
    for (auto _ : state) {
        timer.start();
        RecordModel model(RecordColumns::Load());
        model.open(RecordFilter());
        ReadFirstScreen(model);
        ns += timer.nsecsElapsed();
    }
    // The rows the grid fetches at opening.
    Report(state, ns / 1e9,
           QStringLiteral("select %1 from WorkList order by DDate, Name limit 256").arg(kColumns));
}

// What the window does for a confirmed filter: complete and total the period, open the grid on
// it and show the first screen.
void Refresh(const RecordColumns& columns, const RecordFilter& filter) {
    const QList<TSlotTotals> totals = RefreshRecords(columns.slotTable(), filter);
    benchmark::DoNotOptimize(TotalsLines(columns.slotTable(), totals));
    RecordModel model(columns);
    model.open(filter);
    ReadFirstScreen(model);
}

// Times filterFor(iteration) refreshed, beside sqlite3's plain select of the same rows.
template <typename FilterFor>
void RunPeriod(benchmark::State& state, FilterFor filterFor, const QString& where) {
    QElapsedTimer timer;
    qint64 ns = 0;
    const RecordColumns columns = RecordColumns::Load();
    int iteration = 0;
    for (auto _ : state) {
        timer.start();
        Refresh(columns, filterFor(iteration++));
        ns += timer.nsecsElapsed();
    }
    Report(state, ns / 1e9,
           QStringLiteral("select %1 from WorkList where %2 order by DDate, Name").arg(kColumns, where));
}

QString PersonYear(const QString& name) {
    return QStringLiteral("Name = '%1' and DDate >= '2024-01-01' and DDate <= '2024-12-31'").arg(name);
}

// A different person each time, so the weekends of the year are added each time.
void BM_PersonYear(benchmark::State& state) {
    RunPeriod(
        state,
        [](int i) {
            return RecordFilter::Period(bench::EmployeeName(i % bench::kEmployees), QDate(2024, 1, 1),
                                        QDate(2024, 12, 31));
        },
        PersonYear(bench::EmployeeName(499)));
}

// The same person's year again: every day has its row, so nothing is written.
void BM_PersonYearAgain(benchmark::State& state) {
    RunPeriod(
        state,
        [](int) {
            return RecordFilter::Period(bench::EmployeeName(0), QDate(2024, 1, 1), QDate(2024, 12, 31));
        },
        PersonYear(bench::EmployeeName(0)));
}

void BM_EverybodyMonth(benchmark::State& state) {
    RunPeriod(
        state, [](int) { return RecordFilter::Period(QString(), QDate(2024, 3, 1), QDate(2024, 3, 31)); },
        QStringLiteral("DDate >= '2024-03-01' and DDate <= '2024-03-31'"));
}

BENCHMARK(BM_OpenQueryWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PersonYear)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_PersonYearAgain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EverybodyMonth)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunOnWorkListData(argc, argv, &g_data);
}
