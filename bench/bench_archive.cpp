// Backup and restore of a generated data folder (two years of punches for 300 employees, over
// 30 MB) beside gzip -1 and gzip -dc of the same bytes, and the LZRW1KH expander in MB/s.
// The archive writer syncs each volume to disk before it counts as written; gzip here does not.
// The backup includes taking the consistent images of the databases, timed alone as
// BM_DatabaseImages (read in place here; BM_DatabaseCopy is the copy made when a reader holds an
// older snapshot). BM_Restore unpacks the archive into a folder; BM_RestoreDataFolder is the whole
// restore command: staging, integrity check of the databases, flushes to disk and the swap.
#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/maintenance/backupcommands.h"
#include "core/maintenance/databasesnapshot.h"
#include "core/maintenance/lzrw1kh.h"
#include "core/maintenance/sqliteimage.h"
#include "support/lzrw1khencoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

struct Folder {
    QTemporaryDir dir;
    QString data;
    QStringList files;
    qint64 bytes = 0;
    QString archive;
    QString gz;

    Folder() {
        data = dir.filePath(QStringLiteral("Data/"));
        kq::CreateMissingDataFiles(data);
        kq::OpenKQDataBase(data);
        QRandomGenerator rng(11);
        {
            kq::DataSet employees;
            employees.open(data + QStringLiteral("Employee.dat"), QStringLiteral("SName"));
            for (int e = 0; e < 300; ++e) {
                employees.append();
                employees.setValue(QStringLiteral("SName"), QStringLiteral("员工%1").arg(e));
                employees.setValue(QStringLiteral("IDNo"), e + 1);
                employees.setValue(QStringLiteral("CardNo"), QStringLiteral("%1").arg(100000 + e));
                employees.post();
            }
            employees.close();
        }
        kq::Transaction t;
        QSqlQuery q(kq::KQDataBase());
        q.prepare(QStringLiteral("insert into WorkList (DDate, Name, T0, T1, T2, T3, LeaveType, Comment) "
                                 "values (?, ?, ?, ?, ?, ?, ?, ?)"));
        const QDate start(2022, 1, 1);
        for (int d = 0; d < 731; ++d) {
            const QString day = start.addDays(d).toString(QStringLiteral("yyyy-MM-dd"));
            for (int e = 0; e < 300; ++e) {
                const auto time = [&](int h) {
                    return QTime(h, int(rng.bounded(60)), int(rng.bounded(60)))
                        .toString(QStringLiteral("hh:mm:ss"));
                };
                q.addBindValue(day);
                q.addBindValue(QStringLiteral("员工%1").arg(e));
                q.addBindValue(time(7));
                q.addBindValue(time(12));
                q.addBindValue(time(13));
                q.addBindValue(time(17));
                q.addBindValue(int(rng.bounded(3)));
                q.addBindValue(rng.bounded(10) == 0 ? QStringLiteral("外出办事") : QString());
                q.exec();
            }
        }
        t.commit();
        kq::CloseKQDataBase();
        kq::GetDirFileName(data, files);
        for (const QString& f : files)
            bytes += QFileInfo(f).size();
        archive = dir.filePath(QStringLiteral("kq.bak"));
        gz = dir.filePath(QStringLiteral("kq.gz"));
    }
};

Folder& Data() {
    static Folder folder;
    return folder;
}

void Shell(const QString& command) {
    if (std::system(command.toLocal8Bit().constData()) != 0) std::abort();
}

void BM_Backup(benchmark::State& state) {
    Folder& f = Data();
    for (auto _ : state) {
        kq::TBackupFile bf;
        kq::PrepareBackup(bf, f.archive);
        if (kq::BackupDataFolder(bf, f.data, f.archive) != std::optional<bool>(true))
            state.SkipWithError("backup failed");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["data_MB"] = double(f.bytes) / 1e6;
    state.counters["archive_MB"] = double(QFileInfo(f.archive).size()) / 1e6;
}

void BM_GzipFastest(benchmark::State& state) {
    Folder& f = Data();
    QStringList quoted;
    for (const QString& file : f.files)
        quoted << QLatin1Char('\'') + file + QLatin1Char('\'');
    for (auto _ : state)
        Shell(QStringLiteral("cat %1 | gzip -1 > '%2'").arg(quoted.join(QLatin1Char(' ')), f.gz));
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["archive_MB"] = double(QFileInfo(f.gz).size()) / 1e6;
}

void BM_Restore(benchmark::State& state) {
    Folder& f = Data();
    const QString target = f.dir.filePath(QStringLiteral("restored"));
    for (auto _ : state) {
        kq::TBackupFile bf;
        if (!bf.Restore(f.archive, target)) state.SkipWithError("restore failed");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_DatabaseImages(benchmark::State& state) {
    Folder& f = Data();
    for (auto _ : state)
        kq::DatabaseSnapshot snapshot(f.data, f.files);
}

void BM_DatabaseCopy(benchmark::State& state) {
    Folder& f = Data();
    const QString image = f.dir.filePath(QStringLiteral("image.db"));
    for (auto _ : state) {
        QFile::remove(image);
        kq::TakeDatabaseImage(f.data + QStringLiteral("WorkList.db"), image);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(image).size());
}

void BM_RestoreDataFolder(benchmark::State& state) {
    Folder& f = Data();
    for (auto _ : state) {
        kq::TBackupFile bf;
        if (!kq::RestoreDataFolder(bf, f.data, f.archive)) state.SkipWithError("restore failed");
    }
    kq::CloseKQDataBase();
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_GunzipToFile(benchmark::State& state) {
    Folder& f = Data();
    for (auto _ : state)
        Shell(QStringLiteral("gzip -dc '%1' > '%2'").arg(f.gz, f.dir.filePath(QStringLiteral("gunzipped"))));
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_Lzrw1khExpand(benchmark::State& state) {
    QFile db(Data().data + QStringLiteral("WorkList.db"));
    db.open(QIODevice::ReadOnly);
    std::vector<QByteArray> blocks;
    qint64 plain = 0;
    while (!db.atEnd() && plain < 16 * 1024 * 1024) {
        const QByteArray piece = db.read(kq::kLzrw1khBlockSize - 1);
        blocks.push_back(kq::test::Lzrw1khEncode(piece));
        plain += piece.size();
    }
    qint64 packed = 0;
    for (const QByteArray& b : blocks)
        packed += b.size();
    std::vector<std::uint8_t> out(kq::kLzrw1khBlockSize);
    for (auto _ : state) {
        for (const QByteArray& b : blocks)
            benchmark::DoNotOptimize(kq::Lzrw1khExpand(reinterpret_cast<const std::uint8_t*>(b.constData()),
                                                       int(b.size()), out.data()));
    }
    state.SetBytesProcessed(state.iterations() * plain);
    state.counters["ratio"] = double(packed) / double(plain);
}

} // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_GzipFastest)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DatabaseImages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DatabaseCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RestoreDataFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_GunzipToFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Lzrw1khExpand)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
