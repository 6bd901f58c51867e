// One punch (card lookup, count, read, write, durable commit) on an attendance table of 250,000
// rows, beside a bare durable single-row insert into the same table. Wall-clock times: the
// commit waits for the disk.
#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/punch/brushinfo.h"
#include "core/punch/punchrecorder.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <stdexcept>

using namespace kq;

namespace {

// 500 employees over 500 days: 250,000 rows. The card lookup rereads Employee.dat at every swipe
// but parses it only when its bytes changed.
constexpr int kEmployees = 500;
constexpr int kDays = 500; // kEmployees * kDays rows
const QDate kFirstDay(2020, 1, 1);

QString Name(int i) {
    return QStringLiteral("员工%1").arg(i, 4, 10, QLatin1Char('0'));
}
QString Card(int i) {
    return QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0'));
}

void Fill(const QString& folder) {
    SetDataFolder(folder);
    CreateMissingDataFiles(DataFolder());
    QList<QVariantList> employees;
    for (int i = 0; i < kEmployees; ++i)
        employees.append({Name(i), false, QString(), 4, i + 1, 0, Card(i)});
    DataSet::writeFile(DataFile(QStringLiteral("Employee.dat")), EmployeeFields(), employees);
    OpenKQDataBase(DataFolder());
    Transaction t;
    QSqlQuery insert(KQDataBase());
    insert.prepare(QStringLiteral("insert into WorkList (DDate, Name, T0, T1) values (?,?,?,?)"));
    for (int d = 0; d < kDays; ++d)
        for (int i = 0; i < kEmployees; ++i) {
            insert.addBindValue(DateText(kFirstDay.addDays(d)));
            insert.addBindValue(Name(i));
            insert.addBindValue(QStringLiteral("07:58:00"));
            insert.addBindValue(QStringLiteral("12:01:00"));
            if (!insert.exec()) throw std::runtime_error("fill failed");
        }
    t.commit();
}

// First punch of a day: the row is inserted.
void BM_PunchInsert(benchmark::State& state) {
    const QList<TBrushInfo> shifts = ReadBrushInfo();
    static int k = 0; // the library runs a benchmark more than once: never punch a slot twice
    for (auto _ : state) {
        const QDateTime now(kFirstDay.addDays(kDays + 10 + k / kEmployees), QTime(7, 50));
        if (!RecordPunch(Card(k % kEmployees), shifts, 0, now).stored()) state.SkipWithError("not stored");
        ++k;
    }
}

// A later punch of a day: the existing row is read and updated.
void BM_PunchUpdate(benchmark::State& state) {
    const QList<TBrushInfo> shifts = ReadBrushInfo();
    static int k = 0;
    for (auto _ : state) {
        const QDateTime now(kFirstDay.addDays(k / kEmployees), QTime(13, 20));
        if (!RecordPunch(Card(k % kEmployees), shifts, 2, now).stored()) state.SkipWithError("not stored");
        ++k;
    }
}

// The floor: one durable single-row insert with a prepared statement.
void BM_BareInsert(benchmark::State& state) {
    QSqlQuery insert(KQDataBase());
    insert.prepare(QStringLiteral("insert into WorkList (DDate, Name, T0) values (?,?,?)"));
    static int k = 0;
    for (auto _ : state) {
        insert.addBindValue(DateText(kFirstDay.addDays(kDays + 1000 + k / kEmployees)));
        insert.addBindValue(Name(k % kEmployees));
        insert.addBindValue(QStringLiteral("07:50:00"));
        if (!insert.exec()) state.SkipWithError("insert failed");
        ++k;
    }
}

BENCHMARK(BM_BareInsert)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PunchInsert)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PunchUpdate)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    Fill(dir.path());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseKQDataBase();
    return 0;
}
