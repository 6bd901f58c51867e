// Backup and restore of a generated data folder (two years of punches for 300 employees, over
// 30 MB), each timed alternately with its reference (gzip -1, gzip -dc of the same bytes), and
// the LZRW1KH expander alternately with zlib's inflate on the same pieces.
// The archive writer syncs each volume to disk before it counts as written; gzip here does not.
// The backup includes taking the consistent images of the databases, timed alone as
// BM_DatabaseImages (read in place here; BM_DatabaseCopy is the copy made when a reader holds an
// older snapshot). BM_Restore unpacks the archive into a folder; BM_RestoreDataFolderVsGunzip times
// the whole restore command: staging, integrity check of the databases, flushes to disk and the swap.
#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/maintenance/backupcommands.h"
#include "core/maintenance/databasesnapshot.h"
#include "core/maintenance/lzrw1kh.h"
#include "core/maintenance/sqliteimage.h"
#include "interleaved.h"
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
#include <zlib.h>

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

void Backup(Folder& f) {
    kq::TBackupFile bf;
    kq::PrepareBackup(bf, f.archive);
    if (kq::BackupDataFolder(bf, f.data, f.archive) != kq::BackupResult::Written) std::abort();
}

void GzipFastest(Folder& f) {
    QStringList quoted;
    for (const QString& file : f.files)
        quoted << QLatin1Char('\'') + file + QLatin1Char('\'');
    Shell(QStringLiteral("cat %1 | gzip -1 > '%2'").arg(quoted.join(QLatin1Char(' ')), f.gz));
}

void BM_BackupVsGzip(benchmark::State& state) {
    Folder& f = Data();
    kq::bench::Interleaved(
        state, "backup", [&] { Backup(f); }, "gzip1", [&] { GzipFastest(f); });
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["data_MB"] = double(f.bytes) / 1e6;
    state.counters["archive_MB"] = double(QFileInfo(f.archive).size()) / 1e6;
    state.counters["gz_MB"] = double(QFileInfo(f.gz).size()) / 1e6;
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

// The whole restore command (staging, integrity check, flushes and the swap into place) beside
// gzip -dc of the same bytes into a file.
void BM_RestoreDataFolderVsGunzip(benchmark::State& state) {
    Folder& f = Data();
    if (!QFile::exists(f.archive)) Backup(f);
    if (!QFile::exists(f.gz)) GzipFastest(f);
    kq::bench::Interleaved(
        state, "restore",
        [&] {
            kq::TBackupFile bf;
            if (!kq::RestoreDataFolder(bf, f.data, f.archive)) std::abort();
        },
        "gunzip",
        [&] {
            Shell(QStringLiteral("gzip -dc '%1' > '%2'")
                      .arg(f.gz, f.dir.filePath(QStringLiteral("gunzipped"))));
        });
    kq::CloseKQDataBase();
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

// The expander beside zlib's inflate on the same pieces of the WorkList database, each packed
// alone by the test encoder and by zlib at the backup's level.
void BM_Lzrw1khVsInflate(benchmark::State& state) {
    QFile db(Data().data + QStringLiteral("WorkList.db"));
    db.open(QIODevice::ReadOnly);
    std::vector<QByteArray> blocks;
    std::vector<QByteArray> zblocks;
    qint64 plain = 0;
    while (!db.atEnd() && plain < 16 * 1024 * 1024) {
        const QByteArray piece = db.read(kq::kLzrw1khBlockSize - 1);
        blocks.push_back(kq::test::Lzrw1khEncode(piece));
        QByteArray z(int(compressBound(uLong(piece.size()))), '\0');
        uLongf zsize = uLongf(z.size());
        compress2(reinterpret_cast<Bytef*>(z.data()), &zsize,
                  reinterpret_cast<const Bytef*>(piece.constData()), uLong(piece.size()), 1);
        z.truncate(int(zsize));
        zblocks.push_back(z);
        plain += piece.size();
    }
    qint64 packed = 0;
    for (const QByteArray& b : blocks)
        packed += b.size();
    std::vector<std::uint8_t> out(kq::kLzrw1khBlockSize);
    z_stream zs{};
    inflateInit(&zs);
    kq::bench::Interleaved(
        state, "lzrw1kh",
        [&] {
            for (const QByteArray& b : blocks)
                benchmark::DoNotOptimize(kq::Lzrw1khExpand(
                    reinterpret_cast<const std::uint8_t*>(b.constData()), int(b.size()), out.data()));
        },
        "inflate",
        [&] {
            for (const QByteArray& b : zblocks) {
                inflateReset(&zs);
                zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(b.constData()));
                zs.avail_in = uInt(b.size());
                zs.next_out = out.data();
                zs.avail_out = uInt(out.size());
                if (inflate(&zs, Z_FINISH) != Z_STREAM_END) std::abort();
            }
        });
    inflateEnd(&zs);
    state.SetBytesProcessed(state.iterations() * plain);
    state.counters["MB"] = double(plain) / 1e6;
    state.counters["ratio_lzrw1kh"] = double(packed) / double(plain);
}

} // namespace

BENCHMARK(BM_BackupVsGzip)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_DatabaseImages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DatabaseCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RestoreDataFolderVsGunzip)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_Lzrw1khVsInflate)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
