// One punch (card lookup, count, read, write, durable commit) on an attendance table of 250,000
// rows, timed alternately with a bare durable single-row insert into the same table (ratio_med is
// the insert's median over the punch's). Wall-clock times: the commit waits for the disk.
#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/punch/brushinfo.h"
#include "core/punch/punchrecorder.h"
#include "interleaved.h"

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

// The floor: one durable single-row insert with a prepared statement.
class BareInsert {
public:
    BareInsert() : m_insert(KQDataBase()) {
        m_insert.prepare(QStringLiteral("insert into WorkList (DDate, Name, T0) values (?,?,?)"));
    }
    void operator()() {
        m_insert.addBindValue(DateText(kFirstDay.addDays(kDays + 1000 + m_k / kEmployees)));
        m_insert.addBindValue(Name(m_k % kEmployees));
        m_insert.addBindValue(QStringLiteral("07:50:00"));
        if (!m_insert.exec()) std::abort();
        ++m_k;
    }

private:
    QSqlQuery m_insert;
    int m_k = 0;
};

BareInsert& Bare() {
    static BareInsert insert; // the library runs a benchmark more than once: never insert a key twice
    return insert;
}

// First punch of a day: the row is inserted.
void BM_PunchInsert(benchmark::State& state) {
    const QList<TBrushInfo> shifts = ReadBrushInfo();
    static int k = 0; // never punch a slot twice
    bench::Interleaved(
        state, "punch",
        [&] {
            const QDateTime now(kFirstDay.addDays(kDays + 10 + k / kEmployees), QTime(7, 50));
            if (!RecordPunch(Card(k % kEmployees), shifts, 0, now).stored()) std::abort();
            ++k;
        },
        "insert", [] { Bare()(); });
}

// A later punch of a day: the existing row is read and updated.
void BM_PunchUpdate(benchmark::State& state) {
    const QList<TBrushInfo> shifts = ReadBrushInfo();
    static int k = 0;
    bench::Interleaved(
        state, "punch",
        [&] {
            const QDateTime now(kFirstDay.addDays(k / kEmployees), QTime(13, 20));
            if (!RecordPunch(Card(k % kEmployees), shifts, 2, now).stored()) std::abort();
            ++k;
        },
        "insert", [] { Bare()(); });
}

BENCHMARK(BM_PunchInsert)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_PunchUpdate)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

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
