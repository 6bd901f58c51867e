#include "core/data/gbk.h"
#include "core/data/kqerror.h"
#include "core/maintenance/backupfile.h"
#include "core/maintenance/lzrw1kh.h"
#include "support/archivebytes.h"
#include "support/fakes.h"
#include "support/lzrw1khencoder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;
using test::ArchiveBuilder;

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QByteArray Text(int size) {
    QByteArray t;
    for (int i = 0; t.size() < size; ++i)
        t += "2024-03-07 李四 17:" + QByteArray::number(i % 60) + ":00 下班\n";
    return t.left(size);
}

QByteArray Noise(int size) {
    QByteArray b(size, '\0');
    QRandomGenerator rng(3);
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

const QDateTime kStamp(QDate(2023, 5, 6), QTime(7, 8, 10));

// Every file below folder, as paths relative to it.
QStringList Files(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

class FailingWrites : public TBackupFile {
protected:
    std::unique_ptr<QIODevice> OpenForWrite(const QString& path, bool append) override {
        auto file = TBackupFile::OpenForWrite(path, append);
        if (file) file->close();
        return file; // closed: every write fails
    }
};

} // namespace

class BackupReaderTest : public ::testing::Test {
protected:
    void SetUp() override { fakes = new test::Fakes; }
    void TearDown() override { delete fakes; }
    QString at(const QString& name) const { return dir.filePath(name); }
    QString put(const QString& path, const QByteArray& content, const QDateTime& time = kStamp) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        f.flush();
        f.setFileTime(time, QFileDevice::FileModificationTime);
        return path;
    }
    QString archive(const QByteArray& bytes) {
        test::WriteAll(at("in.bak"), bytes);
        return at("in.bak");
    }
    // Restores archive into a fresh folder "r"; the code of a failure is collected.
    bool restore(TBackupFile& bf, const QString& archiveName) {
        QDir(at("r")).removeRecursively();
        return restoreInto(bf, archiveName);
    }
    // Restores archive into "r" as it is; true when it ran to its end, the code of a failure
    // collected.
    bool restoreInto(TBackupFile& bf, const QString& archiveName) {
        try {
            return bf.Restore(archiveName, at("r"));
        } catch (const BackupError& e) {
            errors << e.code();
            return false;
        }
    }

    QTemporaryDir dir;
    test::Fakes* fakes = nullptr;
    QList<int> errors;
};

TEST_F(BackupReaderTest, RestoresWhatTheWriterStoredAcrossVolumes) {
    const QByteArray big = Noise(100000);
    put(at("src/a.bin"), big);
    put(at("src/empty.dat"), {});
    put(at("src/t.txt"), Text(40000));
    put(at("src/員工.DAT"), "staff");
    // GBK lacks Hangul: older archives stored both names as "???考勤表.XLS".
    put(at("src/김철수考勤表.XLS"), "kim");
    put(at("src/이영희考勤表.XLS"), "lee");
    TBackupFile writer;
    writer.MaxSize = 40000;
    writer.OnNeedDisk = [](TBackupFile*, quint16, bool&) {};
    QDir().mkpath(at("out"));
    ASSERT_TRUE(writer.Backup({at("src/*.*")}, at("out/x.bak")));
    ASSERT_TRUE(QFile::exists(at("out/x.004")));

    TBackupFile bf;
    QList<int> disks;
    QStringList events;
    QList<QPair<QString, int>> progress;
    bf.OnNeedDisk = [&](TBackupFile*, quint16 disk, bool&) { disks << disk; };
    bf.OnRestoreFile = [&](TBackupFile*, QString& name, qint32 stamp, bool& go) {
        events << QFileInfo(name).fileName();
        EXPECT_EQ(stamp, DosDateTime(kStamp));
        EXPECT_TRUE(go);
    };
    bf.OnProgress = [&](TBackupFile*, const QString& f, TPercentage p, bool&) { progress.append({f, p}); };
    ASSERT_TRUE(restore(bf, at("out/x.bak")));
    EXPECT_EQ(disks, QList<int>({2, 3, 4})); // asked at each change although every volume is there
    const QStringList names = {"a.bin",    "empty.dat",        "t.txt",
                               "員工.dat", "김철수考勤表.xls", "이영희考勤表.xls"};
    events.sort();
    EXPECT_EQ(events, names);
    EXPECT_EQ(Files(at("r")), names);
    EXPECT_EQ(test::ReadAll(at("r/김철수考勤表.xls")), "kim");
    EXPECT_EQ(test::ReadAll(at("r/a.bin")), big);
    EXPECT_EQ(test::ReadAll(at("r/t.txt")), Text(40000));
    EXPECT_EQ(test::ReadAll(at("r/員工.dat")), "staff");
    for (const QString& f : Files(at("r")))
        EXPECT_EQ(QFileInfo(at("r/" + f)).lastModified(), kStamp) << f.toStdString();
    EXPECT_EQ(progress.last(), qMakePair(QString(), 100));
    EXPECT_EQ(progress[progress.size() - 2].second, 100);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
}

TEST_F(BackupReaderTest, VolumePromptRepeatsUntilTheVolumeIsThereOrRefused) {
    put(at("src/a.bin"), Noise(50000));
    TBackupFile writer;
    writer.MaxSize = 40000;
    ASSERT_TRUE(writer.Backup({at("src/*.*")}, at("x.bak")));
    ASSERT_TRUE(QFile::rename(at("x.002"), at("later.002")));
    fakes->prompter->boxes.clear();

    TBackupFile bf;
    fakes->prompter->answers = {true, true};
    int asked = 0;
    bf.OnNeedDisk = [&](TBackupFile*, quint16, bool& go) {
        if (++asked == 2) QFile::rename(at("later.002"), at("x.002"));
        go = true;
    };
    ASSERT_TRUE(restore(bf, at("x.bak")));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(test::ReadAll(at("r/a.bin")), test::ReadAll(at("src/a.bin")));

    // Without a handler the writer's prompt asks; Cancel stops with what was restored so far.
    QFile::remove(at("x.002"));
    TBackupFile cancelled;
    fakes->prompter->answers = {true, false};
    EXPECT_FALSE(restore(cancelled, at("x.bak")));
    EXPECT_EQ(fakes->prompter->texts(), QStringList(2, "Please insert disk 2 and click OK to continue."));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_GT(QFileInfo(at("r/a.bin")).size(), 0);
    EXPECT_EQ(QFileInfo(at("r/a.bin")).lastModified(), kStamp);
}

TEST_F(BackupReaderTest, RestoreModesDecideByExistenceAndDate) {
    const QString name = at("r/x.dat");
    const QDateTime older = kStamp.addDays(-1), newer = kStamp.addDays(1);
    struct Case {
        TRestoreMode mode;
        bool missing, older, same, newer; // restored for each state of the target
    };
    const Case cases[] = {{rmAll, true, true, true, true},
                          {rmNoOverwrite, true, false, false, false},
                          {rmNewer, true, true, false, false},
                          {rmExisting, false, true, true, true},
                          {rmExistingNewer, false, true, false, false}};
    const QString path = archive(
        ArchiveBuilder().header().entry("c:\\kq\\x.dat", DosDateTime(kStamp)).ec2({"new"}).end().bytes);
    for (const Case& c : cases) {
        const QList<QPair<std::optional<QDateTime>, bool>> states = {
            {std::nullopt, c.missing}, {older, c.older}, {kStamp, c.same}, {newer, c.newer}};
        for (const auto& [state, expected] : states) {
            TBackupFile bf;
            bf.RestoreMode = c.mode;
            bool decision = false;
            bf.OnRestoreFile = [&](TBackupFile*, QString&, qint32, bool& go) { decision = go; };
            QDir(at("r")).removeRecursively();
            if (state) put(name, "old", *state);
            ASSERT_TRUE(bf.Restore(path, at("r")));
            EXPECT_EQ(decision, expected)
                << int(c.mode) << " " << (state ? state->toString().toStdString() : "missing");
            EXPECT_EQ(test::ReadAll(name), expected ? "new" : state ? "old" : "");
        }
    }
}

TEST_F(BackupReaderTest, TargetsByFilePartOrFullPathAndTheHandlersChoice) {
    const QString path = archive(ArchiveBuilder()
                                     .header()
                                     .entry("FILE:LIST")
                                     .ec2({"c:\\data\\a.dat\t1=1\r\n"})
                                     .entry("c:\\data\\a.dat")
                                     .ec2({"a"})
                                     .entry("/home/kq/data/b.dat")
                                     .ec2({"b"})
                                     .entry("c.dat")
                                     .ec2({"c"})
                                     .entry("d:\\skip\\veto.dat")
                                     .ec2({"v"})
                                     .entry("d:\\elsewhere\\moved.dat")
                                     .ec2({"m"})
                                     .end()
                                     .bytes);
    for (const bool fullPath : {false, true}) {
        TBackupFile bf;
        bf.RestoreFullPath = fullPath;
        QStringList seen;
        bf.OnRestoreFile = [&](TBackupFile*, QString& name, qint32, bool& go) {
            seen << QDir(at("r")).relativeFilePath(name);
            if (name.endsWith("veto.dat")) go = false;
            if (name.endsWith("moved.dat")) name = at("r/renamed.dat");
        };
        ASSERT_TRUE(restore(bf, path));
        const QStringList expected = fullPath
                                         ? QStringList{"data/a.dat", "home/kq/data/b.dat", "c.dat",
                                                       "skip/veto.dat", "elsewhere/moved.dat"}
                                         : QStringList{"a.dat", "b.dat", "c.dat", "veto.dat", "moved.dat"};
        EXPECT_EQ(seen, expected);
        QStringList files = expected.mid(0, 3);
        files << "renamed.dat";
        files.sort();
        EXPECT_EQ(Files(at("r")), files);
        EXPECT_EQ(test::ReadAll(at("r/" + expected[1])), "b");
    }
}

TEST_F(BackupReaderTest, NamesThatLeaveTheFolderAreNotRestoredAndReported) {
    struct Case {
        QByteArray name;
        bool fullPath;
        QString restoredAs; // empty: refused with error 8
    };
    const Case cases[] = {
        {"..", false, {}},
        {"c:\\data\\..", false, {}},
        {"c:\\data\\.", true, {}},
        {"c:\\data\\", false, {}},
        {"../evil.dat", false, "evil.dat"},
        {"../evil.dat", true, {}},
        {"c:\\..\\..\\evil.dat", true, {}},
        {"/data/../../evil.dat", true, {}},
        {"c:\\a\\..\\evil.dat", true, {}},
        {"c:\\data\\bad\x01name", false, {}},
        {"c:\\a\\.\\good.dat", true, "a/good.dat"},
    };
    for (const Case& c : cases) {
        errors.clear();
        TBackupFile bf;
        bf.RestoreFullPath = c.fullPath;
        const QString path = archive(
            ArchiveBuilder().header().entry(c.name).ec2({"data"}).entry("after.dat").ec2({"a"}).end().bytes);
        const bool ok = restore(bf, path);
        const QString what = QString::fromLatin1(c.name) + (c.fullPath ? " full" : "");
        QStringList expected = {"in.bak"};
        if (!c.restoredAs.isEmpty()) expected << "r/" + c.restoredAs << "r/after.dat";
        expected.sort();
        EXPECT_EQ(Files(dir.path()), expected) << what.toStdString();
        EXPECT_EQ(ok, !c.restoredAs.isEmpty()) << what.toStdString();
        EXPECT_EQ(errors, c.restoredAs.isEmpty() ? QList<int>{8} : QList<int>{}) << what.toStdString();
    }
}

TEST_F(BackupReaderTest, LinksInTheFolderAreReplacedNotFollowed) {
    put(at("outside.dat"), "keep");
    QDir().mkpath(at("elsewhere"));
    QDir().mkpath(at("r"));
    ASSERT_TRUE(QFile::link(at("outside.dat"), at("r/x.dat")));
    ASSERT_TRUE(QFile::link(at("elsewhere"), at("r/sub")));
    TBackupFile bf;
    bf.RestoreFullPath = true;
    const QString path = archive(ArchiveBuilder()
                                     .header()
                                     .entry("c:\\x.dat")
                                     .ec2({"new"})
                                     .entry("c:\\sub\\y.dat")
                                     .ec2({"y"})
                                     .end()
                                     .bytes);
    EXPECT_FALSE(restoreInto(bf, path));
    EXPECT_EQ(test::ReadAll(at("outside.dat")), "keep");
    EXPECT_FALSE(QFileInfo(at("r/x.dat")).isSymLink());
    EXPECT_EQ(test::ReadAll(at("r/x.dat")), "new");
    EXPECT_TRUE(QDir(at("elsewhere")).isEmpty());
    EXPECT_EQ(errors, QList<int>{8});
}

TEST_F(BackupReaderTest, OlderSegmentsExpandWithLzrw1kh) {
    const QByteArray text = Text(30000);
    const QByteArray compressed = test::Lzrw1khEncode(text);
    ASSERT_NE(compressed.at(0), char(0x80));
    const QString path = archive(ArchiveBuilder()
                                     .header()
                                     .entry("skipped.dat")
                                     .ecs({compressed})
                                     .entry("c:\\old\\a.dat")
                                     .ecs({QByteArray("\x80\x01\x02\x03\x04", 5),
                                           QByteArray("\x00\x20\x00\x61\x62\x00\x20", 7), compressed})
                                     .int32(-5) // a negative name length is passed over
                                     .entry("b.dat")
                                     .ec2({"ec2"})
                                     .end()
                                     .bytes);
    TBackupFile bf;
    bf.RestoreMode = rmExisting;
    put(at("r/a.dat"), "");
    put(at("r/b.dat"), "");
    ASSERT_TRUE(restoreInto(bf, path));
    EXPECT_EQ(test::ReadAll(at("r/a.dat")), QByteArray("\x01\x02\x03\x04"
                                                       "ababa") +
                                                text);
    EXPECT_EQ(test::ReadAll(at("r/b.dat")), "ec2");
    EXPECT_FALSE(QFile::exists(at("r/skipped.dat")));
}

TEST_F(BackupReaderTest, BrokenBlocksEndTheEntryWithAnError) {
    QByteArray wide(kArchiveBlockSize + 1, 'w');
    QByteArray badStream = test::ZlibStream("hello");
    badStream[badStream.size() - 1] = char(badStream.at(badStream.size() - 1) ^ 0x55);
    struct Case {
        const char* what;
        QByteArray segment;
        int error;
    };
    const Case cases[] = {
        {"EC2 length above the block size",
         ArchiveBuilder().raw(QByteArray("EC2\0", 4)).text(wide).end().bytes, 1},
        {"EC2 raw length above the block size",
         ArchiveBuilder().raw(QByteArray("EC2\0", 4)).int32(-kArchiveBlockSize - 1).raw(wide).end().bytes, 1},
        {"EC2 stream expanding beyond the block size",
         ArchiveBuilder().raw(QByteArray("EC2\0", 4)).text(test::ZlibStream(wide)).end().bytes, 1},
        {"EC2 corrupt stream", ArchiveBuilder().raw(QByteArray("EC2\0", 4)).text(badStream).end().bytes, 6},
        {"EC2 length past the end of the archive",
         ArchiveBuilder().raw(QByteArray("EC2\0", 4)).int32(1000).raw("abc").bytes, 1},
        {"ECS length above its block size",
         ArchiveBuilder()
             .raw(QByteArray("ECS\0", 4))
             .int32(40000)
             .int32(kLzrw1khBlockSize + 1)
             .raw(wide + wide + wide)
             .bytes,
         1},
        {"ECS corrupt block", ArchiveBuilder().ecs({QByteArray("\x00\x80\x00\x00\x10", 5)}).end().bytes, 1},
        {"unknown tag", ArchiveBuilder().raw(QByteArray("EC3\0", 4)).end().bytes, 1},
    };
    for (const Case& c : cases) {
        errors.clear();
        TBackupFile bf;
        const QString path = archive(ArchiveBuilder()
                                         .header()
                                         .entry("a.dat")
                                         .ec2({"first"})
                                         .entry("b.dat")
                                         .raw(c.segment)
                                         .end()
                                         .bytes);
        EXPECT_FALSE(restore(bf, path)) << c.what;
        EXPECT_EQ(errors, QList<int>{c.error}) << c.what;
        EXPECT_EQ(test::ReadAll(at("r/a.dat")), "first") << c.what;
        EXPECT_TRUE(QFile::exists(at("r/b.dat"))) << c.what;
    }
}

TEST_F(BackupReaderTest, UnreadableHeadersAndTagsOutsideARestoredFileThrow) {
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"three bytes", "abc", "Cannot read archive"},
        {"title longer than the file", ArchiveBuilder().int32(100).raw("short").bytes, "Cannot read archive"},
        {"no file count", ArchiveBuilder().text("t").int32(0).bytes, "Cannot read archive"},
        {"bad tag in a skipped entry", ArchiveBuilder().header().entry("FILE:LIST").raw("XYZ\0").end().bytes,
         "Invalid archive type"},
        {"cut inside a name", ArchiveBuilder().header().int32(10).raw("abc").bytes, "Cannot read archive"},
        {"bad volume record", ArchiveBuilder().header().text("NEXT:DISK/..").bytes, "Cannot read archive"},
    };
    for (const Case& c : cases) {
        TBackupFile bf;
        try {
            bf.Restore(archive(c.bytes), at("r"));
            ADD_FAILURE() << c.what;
        } catch (const KqError& e) {
            EXPECT_EQ(e.message(), c.message) << c.what;
        }
    }
    TBackupFile bf;
    bool events = false;
    bf.OnProgress = [&](TBackupFile*, const QString&, TPercentage, bool&) { events = true; };
    EXPECT_FALSE(restoreInto(bf, at("missing.bak")));
    EXPECT_EQ(errors, QList<int>{beReadArchive});
    errors.clear();
    EXPECT_FALSE(events);
    EXPECT_TRUE(restore(bf, archive(ArchiveBuilder().header().end().bytes))); // an archive of no files
}

TEST_F(BackupReaderTest, FailedWritesOfARestoredFileAreErrorOne) {
    FailingWrites bf;
    EXPECT_FALSE(restore(bf, archive(ArchiveBuilder().header().entry("a.dat").ec2({"data"}).end().bytes)));
    EXPECT_EQ(errors, QList<int>{1});
}

TEST_F(BackupReaderTest, CutOrDamagedArchivesFailCleanlyInsideTheFolder) {
    put(at("src/t.txt"), Text(20000));
    put(at("src/s.dat"), "small");
    TBackupFile writer;
    ASSERT_TRUE(writer.Backup({at("src/*.*")}, at("whole.bak")));
    const QByteArray whole = test::ReadAll(at("whole.bak"));
    ASSERT_LT(whole.size(), 4000);
    for (int size = 0; size < whole.size(); ++size) {
        TBackupFile bf;
        bool ok = false;
        try {
            ok = restore(bf, archive(whole.left(size)));
        } catch (const KqError&) {
        }
        EXPECT_FALSE(ok) << size;
    }
    for (int at_ = 0; at_ < whole.size(); ++at_) {
        QByteArray damaged = whole;
        damaged[at_] = char(damaged.at(at_) ^ 0xA5);
        TBackupFile bf;
        bf.OnNeedDisk = [](TBackupFile*, quint16, bool& go) { go = false; };
        try {
            restore(bf, archive(damaged));
        } catch (const KqError&) {
        }
        for (const QString& f : Files(dir.path()))
            ASSERT_TRUE(f == "in.bak" || f == "whole.bak" || f.startsWith("r/") || f.startsWith("src/"))
                << f.toStdString();
    }
}
