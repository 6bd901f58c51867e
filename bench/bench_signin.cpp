// One operator sign-in (read Employee.dat, verify the stored Argon2id hash, read the group's
// functions) on a file of 500 employees, timed alternately with the bare hash verification
// (ratio_med is the verification's median over the sign-in's). It has to stay well under 250 ms.
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/tables.h"
#include "core/shell/logon.h"
#include "core/shell/password.h"
#include "interleaved.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace kq;

namespace {

constexpr int kEmployees = 500;

void Fill(const QString& folder) {
    SetDataFolder(folder);
    CreateMissingDataFiles(DataFolder());
    QList<QVariantList> employees = {
        {kDefaultAdminName, true, HashPassword(kDefaultAdminPassword), 1, 0, 0, QString()}};
    for (int i = 0; i < kEmployees; ++i)
        employees.append({QStringLiteral("员工%1").arg(i), false, QString(), 4, i + 1, 0,
                          QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0'))});
    DataSet::writeFile(DataFile(QStringLiteral("Employee.dat")), EmployeeFields(), employees);
}

void BM_SignIn(benchmark::State& state) {
    const QString hash = HashPassword(kDefaultAdminPassword);
    bench::Interleaved(
        state, "signin",
        [] {
            if (!SignIn(kDefaultAdminName, kDefaultAdminPassword)) std::abort();
        },
        "verify",
        [&] {
            if (!VerifyPassword(hash, kDefaultAdminPassword)) std::abort();
        });
}

BENCHMARK(BM_SignIn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    Fill(dir.path());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
