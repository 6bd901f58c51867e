// The attendance query on 500 employees over eight years (about a million rows; KQ_BENCH_FIRST_YEAR
// sets the first year, 2005 gives about 2.5 million): opening the window on the whole table and
// reaching its last row, one person's year and everybody's month, each beside sqlite3's time for a
// plain indexed select of the same rows (counter sqlite3_ms; x_sqlite3 is our time over it).

#include "core/reports/attendancequery.h"
#include "core/reports/recordmodel.h"
#include "gui/platform/guiservices.h"
#include "gui/reports/recordgrid.h"
#include "gui/reports/tfmstat.h"
#include "interleaved.h"
#include "worklistdata.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

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

// Resident memory of the process in kB.
double ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble();
    return 0;
}

// The query window opened on the whole table and painted (open_ms), the rows counted from the
// event loop after the first paint (count_ms), then Ctrl+End pressed and painted again (last_ms).
void BM_OpenQueryWindowAndReachTheLastRow(benchmark::State& state) {
    static const bool installed = (InstallRealGuiServices(), true);
    benchmark::DoNotOptimize(installed);
    QElapsedTimer timer;
    qint64 openNs = 0;
    qint64 countNs = 0;
    qint64 lastNs = 0;
    double grownKb = 0;
    int rows = 0;
    for (auto _ : state) {
        const double before = ResidentKb();
        timer.start();
        TfmStat w;
        w.show();
        benchmark::DoNotOptimize(w.grab());
        openNs += timer.nsecsElapsed();
        auto* grid = w.findChild<RecordGrid*>(QStringLiteral("DBGrid1"));
        RecordModel* model = grid->recordModel();
        timer.start();
        while (model->counting())
            QApplication::processEvents();
        countNs += timer.nsecsElapsed();
        timer.start();
        grid->setCurrentIndex(model->index(0, 0)); // as the grid's focus sets it
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(grid, &end);
        while (model->canFetchMore(QModelIndex())) {
            model->fetchMore(QModelIndex());
            QApplication::sendEvent(grid, &end);
        }
        benchmark::DoNotOptimize(w.grab());
        lastNs += timer.nsecsElapsed();
        rows = model->rowCount();
        if (grid->currentIndex().row() != rows - 1) state.SkipWithError("the last row was not reached");
        grownKb = std::max(grownKb, ResidentKb() - before);
    }
    state.counters["rows"] = rows;
    state.counters["open_ms"] = openNs / 1e6 / double(state.iterations());
    state.counters["count_ms"] = countNs / 1e6 / double(state.iterations());
    state.counters["last_ms"] = lastNs / 1e6 / double(state.iterations());
    state.counters["rss_growth_MB"] = grownKb / 1024;
    Report(state, (openNs + lastNs) / 1e9,
           QStringLiteral("select %1 from WorkList order by DDate, Name limit 256").arg(kColumns));
}

// The window opened and painted with its rows counted after the first paint (open), alternately
// with the same window counting every row before it (count_first), as it did before.
void BM_OpenBeforeTheCount(benchmark::State& state) {
    static const bool installed = (InstallRealGuiServices(), true);
    benchmark::DoNotOptimize(installed);
    const auto open = [](bool countFirst) {
        TfmStat w;
        if (countFirst) w.findChild<RecordGrid*>(QStringLiteral("DBGrid1"))->recordModel()->fetchMore({});
        w.show();
        benchmark::DoNotOptimize(w.grab());
    };
    bench::Interleaved(
        state, "open", [&] { open(false); }, "count_first", [&] { open(true); });
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

BENCHMARK(BM_OpenQueryWindowAndReachTheLastRow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenBeforeTheCount)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_PersonYear)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_PersonYearAgain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EverybodyMonth)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int firstYear = qEnvironmentVariableIntValue("KQ_BENCH_FIRST_YEAR");
    return bench::RunOnWorkListData<QApplication>(argc, argv, &g_data, firstYear > 0 ? firstYear : 2017);
}
