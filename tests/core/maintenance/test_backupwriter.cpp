#include "core/data/gbk.h"
#include "core/maintenance/backupfile.h"
#include "support/archivebytes.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;
using test::ParsedVolume;

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QByteArray Text(int size) {
    QByteArray t;
    for (int i = 0; t.size() < size; ++i)
        t += "2024-03-07 张三 08:" + QByteArray::number(i % 60) + ":00 上班\r\n";
    return t.left(size);
}

QByteArray Noise(int size, quint32 seed = 1) {
    QByteArray b(size, '\0');
    QRandomGenerator rng(seed);
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

QByteArray Joined(const QList<test::ParsedEntry>& entries) {
    QByteArray all;
    for (const auto& e : entries)
        for (const auto& s : e.segments)
            for (const auto& b : s.blocks)
                all += b.data;
    return all;
}

// Accepts writes until its budget is spent, then fails every write.
class FailAfter : public QIODevice {
public:
    explicit FailAfter(qint64 budget) : m_budget(budget) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        if (size > m_budget) {
            m_budget = 0;
            return -1;
        }
        m_budget -= size;
        return size;
    }

private:
    qint64 m_budget;
};

class FailingBackupFile : public TBackupFile {
public:
    qint64 budget = 0; // negative: the volume cannot be created
protected:
    std::unique_ptr<QIODevice> OpenForWrite(const QString&, bool) override {
        if (budget < 0) return nullptr;
        return std::make_unique<FailAfter>(budget);
    }
};

} // namespace

class BackupWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes = new test::Fakes;
        QDir().mkpath(data());
    }
    void TearDown() override { delete fakes; }
    QString data() const { return dir.filePath(QStringLiteral("srv/Data")); }
    QString put(const QString& name, const QByteArray& content) {
        const QString p = data() + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(p).absolutePath());
        test::WriteAll(p, content);
        return p;
    }
    QString archive() const { return dir.filePath(QStringLiteral("backup.bak")); }
    QStringList all() const { return {data() + QStringLiteral("/*.*")}; }

    QTemporaryDir dir;
    test::Fakes* fakes = nullptr;
};

TEST_F(BackupWriterTest, TextFileIsOneSegmentOfThreeStreamsWithHeaderAndProgress) {
    const QByteArray content = Text(40000);
    const QString path = put(QStringLiteral("Notes.TXT"), content);
    TBackupFile bf;
    bf.BackupTitle = QStringLiteral("Venmar软件");
    QList<QPair<QString, int>> progress;
    bf.OnProgress = [&](TBackupFile*, const QString& f, TPercentage p, bool&) { progress.append({f, p}); };
    ASSERT_TRUE(bf.Backup(all(), archive()));

    const ParsedVolume v = test::ParseVolume(test::ReadAll(archive()));
    EXPECT_EQ(v.problem, "");
    EXPECT_EQ(v.title, ToGbk(QStringLiteral("Venmar软件")));
    EXPECT_EQ(v.total, 40000);
    EXPECT_EQ(v.count, 1);
    EXPECT_TRUE(v.endMark);
    ASSERT_EQ(v.entries.size(), 1);
    EXPECT_EQ(v.entries[0].name, ToGbk(LowerAscii(path)));
    EXPECT_EQ(v.entries[0].dateTime, DosDateTime(QFileInfo(path).lastModified()));
    ASSERT_EQ(v.entries[0].segments.size(), 1);
    QList<int> sizes;
    for (const auto& b : v.entries[0].segments[0].blocks) {
        EXPECT_GT(b.length, 0);
        sizes << int(b.data.size());
    }
    EXPECT_EQ(sizes, QList<int>({16384, 16384, 7232}));
    EXPECT_EQ(Joined(v.entries), content);
    const QList<QPair<QString, int>> expected = {{"", 0}, {path, 40}, {path, 81}, {path, 100}, {"", 100}};
    EXPECT_EQ(progress, expected);
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
}

TEST_F(BackupWriterTest, BlocksAreStreamsOrRawByWhatFits) {
    struct Case {
        const char* what;
        QByteArray content;
        TCompressionLevel level;
        QList<int> lengths;
    };
    const Case cases[] = {
        {"random bytes do not shrink", Noise(16384), clFastest, {-16384}},
        {"clNone: full block raw, short block as a stored stream",
         Text(16384 + 7232),
         clNone,
         {-16384, 7243}},
        {"zero-length file: a segment without blocks", {}, clMax, {}},
        {"default level", Text(100), clDefault, {-1}}, // -1: any positive length
    };
    for (const Case& c : cases) {
        put(QStringLiteral("f.dat"), c.content);
        TBackupFile bf;
        bf.CompressionLevel = c.level;
        ASSERT_TRUE(bf.Backup(all(), archive())) << c.what;
        const ParsedVolume v = test::ParseVolume(test::ReadAll(archive()));
        EXPECT_EQ(v.problem, "") << c.what;
        ASSERT_EQ(v.entries.size(), 1) << c.what;
        ASSERT_EQ(v.entries[0].segments.size(), 1) << c.what;
        QList<int> lengths;
        for (const auto& b : v.entries[0].segments[0].blocks)
            lengths << (c.lengths == QList<int>{-1} && b.length > 0 ? -1 : b.length);
        EXPECT_EQ(lengths, c.lengths) << c.what;
        EXPECT_EQ(Joined(v.entries), c.content) << c.what;
    }
}

TEST_F(BackupWriterTest, EmptyTitleIsALengthOfZeroAndNothingElse) {
    put(QStringLiteral("a.dat"), "abc");
    TBackupFile bf;
    ASSERT_TRUE(bf.Backup(all(), archive()));
    const QByteArray bytes = test::ReadAll(archive());
    EXPECT_EQ(bytes.left(8), QByteArray("\0\0\0\0\3\0\0\0", 8));
}

TEST_F(BackupWriterTest, LargeFileSpansNumberedVolumesWithDiskPrompts) {
    const QByteArray big = Noise(100000);
    put(QStringLiteral("a.bin"), big);
    put(QStringLiteral("b.txt"), Text(500));
    TBackupFile bf;
    bf.MaxSize = 40000;
    ASSERT_TRUE(bf.Backup(all(), archive()));

    const QStringList volumes = {archive(), dir.filePath("backup.002"), dir.filePath("backup.003"),
                                 dir.filePath("backup.004")};
    QList<test::ParsedEntry> entries;
    for (int i = 0; i < volumes.size(); ++i) {
        const QByteArray bytes = test::ReadAll(volumes[i]);
        EXPECT_LE(bytes.size(), 40000) << i;
        const ParsedVolume v = test::ParseVolume(bytes, i == 0);
        EXPECT_EQ(v.problem, "") << i;
        const bool last = i == volumes.size() - 1;
        EXPECT_EQ(v.nextDisk, last ? QByteArray() : "NEXT:DISK00" + QByteArray::number(i + 2)) << i;
        EXPECT_EQ(v.endMark, last) << i;
        if (i > 0) {
            EXPECT_EQ(v.entries[0].name, QByteArray()) << i; // continues the file of the volume before
        }
        entries += v.entries;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("backup.005")));
    EXPECT_EQ(Joined(entries), big + Text(500));
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"Please insert disk 2 and click OK to continue.",
                                                     "Please insert disk 3 and click OK to continue.",
                                                     "Please insert disk 4 and click OK to continue."}));
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "confirm");
    EXPECT_EQ(VolumeFileName("/x/y.z/archive", 12), "/x/y.z/archive.012");
}

TEST_F(BackupWriterTest, ArchiveAndProgressAreTheSameWhateverTheNumberOfCompressingThreads) {
    put(QStringLiteral("a.txt"), Text(300000));
    put(QStringLiteral("b.bin"), Noise(70000) + Text(90000) + Noise(20000, 2));
    put(QStringLiteral("c.dat"), QByteArray());
    put(QStringLiteral("d.txt"), Text(kArchiveBlockSize * 3));
    for (const qint32 maxSize : {0, 60000}) {
        QList<QByteArray> first;
        QStringList firstProgress;
        for (const int threads : {1, 2, 5}) {
            TBackupFile bf;
            bf.CompressionThreads = threads;
            bf.MaxSize = maxSize;
            bf.OnNeedDisk = [](TBackupFile*, quint16, bool&) {};
            QStringList progress;
            bf.OnProgress = [&](TBackupFile*, const QString& name, TPercentage percent, bool&) {
                progress << QFileInfo(name).fileName() + QString::number(percent);
            };
            ASSERT_TRUE(bf.Backup(all(), archive())) << threads;
            QList<QByteArray> volumes{test::ReadAll(archive())};
            for (int v = 2; QFile::exists(VolumeFileName(archive(), v)); ++v)
                volumes << test::ReadAll(VolumeFileName(archive(), v));
            if (threads == 1) {
                first = volumes;
                firstProgress = progress;
                EXPECT_EQ(volumes.size() > 1, maxSize > 0);
            } else {
                EXPECT_EQ(volumes, first) << maxSize << " " << threads;
                EXPECT_EQ(progress, firstProgress) << maxSize << " " << threads;
            }
        }
    }
}

TEST_F(BackupWriterTest, RefusedDiskOrStoppedProgressEndsWithoutEndMarkOrErrorReport) {
    put(QStringLiteral("a.bin"), Noise(100000));
    for (const bool byHandler : {false, true}) {
        test::WriteAll(archive(), "previous");
        TBackupFile bf;
        bf.MaxSize = 40000;
        if (byHandler) {
            bf.OnProgress = [](TBackupFile*, const QString& f, TPercentage, bool& go) { go = f.isEmpty(); };
        } else {
            fakes->prompter->answers = {false};
        }
        EXPECT_FALSE(bf.Backup(all(), archive()));
        EXPECT_EQ(bf.ErrorCode(), 0);
        EXPECT_FALSE(QFile::exists(dir.filePath("backup.002")));
        EXPECT_FALSE(QFile::exists(archive() + ".partial"));
        if (byHandler) {
            EXPECT_EQ(test::ReadAll(archive()), "previous"); // nothing was put in its place
            continue;
        }
        // The disk asked for replaces the one in the drive, so the first volume was put in place.
        const ParsedVolume v = test::ParseVolume(test::ReadAll(archive()));
        EXPECT_EQ(v.problem, "");
        EXPECT_FALSE(v.endMark);
        EXPECT_EQ(v.nextDisk, QByteArray("NEXT:DISK002"));
    }
    ASSERT_EQ(fakes->prompter->boxes.size(), 1); // the one refused prompt, no error report
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "confirm");
}

TEST_F(BackupWriterTest, AWriteThatFailsHalfWayLeavesThePreviousArchiveAsItWas) {
    put(QStringLiteral("a.bin"), Noise(100000));
    TBackupFile first;
    first.MaxSize = 40000;
    first.OnNeedDisk = [](TBackupFile*, quint16, bool&) {}; // every volume beside the first
    ASSERT_TRUE(first.Backup(all(), archive()));
    const QStringList volumes = {archive(), dir.filePath("backup.002"), dir.filePath("backup.003"),
                                 dir.filePath("backup.004")};
    QList<QByteArray> previous;
    qint64 total = 0;
    for (const QString& v : volumes) {
        previous << test::ReadAll(v);
        total += previous.last().size();
    }
    ASSERT_FALSE(previous.last().isEmpty());

    put(QStringLiteral("a.bin"), Noise(100000, 2));
    // A disk that fills up: real files, whose writes fail once the budget is spent.
    class FullDisk : public TBackupFile {
    public:
        qint64 budget = 0;

    protected:
        std::unique_ptr<QIODevice> OpenForWrite(const QString& path, bool) override {
            class ShortFile : public QFile {
            public:
                ShortFile(const QString& path, qint64& budget) : QFile(path), m_budget(budget) {}

            protected:
                qint64 writeData(const char* data, qint64 size) override {
                    if (size > m_budget) return -1;
                    m_budget -= size;
                    return QFile::writeData(data, size);
                }

            private:
                qint64& m_budget;
            };
            auto file = std::make_unique<ShortFile>(path, budget);
            if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
                return nullptr;
            return file;
        }
    };
    for (const qint64 budget :
         {qint64(20000), total / 2, total - 10}) { // in the first, a middle, the last volume
        FullDisk bf;
        bf.MaxSize = 40000;
        bf.budget = budget;
        bf.OnNeedDisk = first.OnNeedDisk;
        bf.OnError = [](TBackupFile*, qint32, const QString&) {};
        EXPECT_FALSE(bf.Backup(all(), archive())) << budget;
        EXPECT_EQ(bf.ErrorCode(), beWriteArchive) << budget;
        for (int i = 0; i < volumes.size(); ++i) {
            EXPECT_EQ(test::ReadAll(volumes[i]), previous[i]) << budget << " volume " << i + 1;
            EXPECT_FALSE(QFile::exists(volumes[i] + ".partial")) << budget;
        }
    }
}

TEST_F(BackupWriterTest, FailedWritesAreErrorFourReportedOnce) {
    put(QStringLiteral("a.bin"), Noise(40000));
    TBackupFile probe;
    ASSERT_TRUE(probe.Backup(all(), archive()));
    const qint64 full = QFileInfo(archive()).size();
    for (const qint64 budget : {-1LL, 0LL, 10LL, 30LL, 20000LL, full - 4, full - 1}) {
        for (const bool handler : {false, true}) {
            fakes->prompter->boxes.clear();
            FailingBackupFile bf;
            bf.budget = budget;
            QList<QPair<int, QString>> reports;
            if (handler)
                bf.OnError = [&](TBackupFile*, qint32 code, const QString& text) {
                    reports.append({code, text});
                };
            EXPECT_FALSE(bf.Backup(all(), archive())) << budget;
            EXPECT_EQ(bf.ErrorCode(), 4) << budget;
            if (handler) {
                EXPECT_EQ(reports, (QList<QPair<int, QString>>{{4, "Cannot write to archive"}})) << budget;
                EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
            } else {
                ASSERT_EQ(fakes->prompter->boxes.size(), 1) << budget;
                EXPECT_EQ(fakes->prompter->boxes[0].text, "Cannot write to archive");
                EXPECT_EQ(fakes->prompter->boxes[0].icon, Prompter::Icon::Error);
            }
        }
    }
}

TEST_F(BackupWriterTest, VolumeSizesWithoutRoomForABlockAreRefused) {
    put(QStringLiteral("a.dat"), "x");
    for (const qint32 size : {1, 16488, -1}) {
        TBackupFile bf;
        bf.MaxSize = size;
        bf.OnError = [](TBackupFile*, qint32, const QString&) {};
        EXPECT_FALSE(bf.Backup(all(), archive())) << size;
        EXPECT_EQ(bf.ErrorCode(), 4) << size;
        EXPECT_FALSE(QFile::exists(archive())) << size;
    }
}

TEST_F(BackupWriterTest, ListingFollowsMasksSubfoldersAndSkipsDuplicatesAndTheArchive) {
    const QString deep = put(QStringLiteral("sub/Deep.dat"), "d");
    const QString text = put(QStringLiteral("sub/b.txt"), "s");
    const QString staff = put(QStringLiteral("員工.DAT"), "e"); // GBK trail byte of 員 is 'T'
    const QString work = put(QStringLiteral("WorkList.db"), "w");
    const QString self = put(QStringLiteral("backup.BAK"), "old archive");
    TBackupFile bf;
    // Folders are descended depth first where " /s" asks for it; "/s" inside the path ("/srv") does not.
    ASSERT_TRUE(bf.Backup({data() + "/*.DAT", data() + "/*.* /S", data() + "/sub/*.txt"}, self));
    const QStringList expected = {LowerAscii(staff), LowerAscii(text), LowerAscii(deep), LowerAscii(work)};
    EXPECT_EQ(bf.ListedNames(), expected);
    EXPECT_TRUE(expected[0].endsWith(QStringLiteral("/srv/data/員工.dat")));
    const ParsedVolume v = test::ParseVolume(test::ReadAll(self));
    ASSERT_EQ(v.entries.size(), 4);
    EXPECT_EQ(v.entries[0].name, ToGbk(expected[0]));
    EXPECT_EQ(v.count, 4);
}

TEST_F(BackupWriterTest, FileIdListComesFirstAndIsNotCounted) {
    const QString a = put(QStringLiteral("a.dat"), "12345");
    const QString b = put(QStringLiteral("b.dat"), "");
    TBackupFile bf;
    bf.SaveFileID = true;
    ASSERT_TRUE(bf.Backup(all(), archive()));
    const ParsedVolume v = test::ParseVolume(test::ReadAll(archive()));
    ASSERT_EQ(v.entries.size(), 3);
    EXPECT_EQ(v.entries[0].name, "FILE:LIST");
    const auto line = [](const QString& path) {
        return ToGbk(LowerAscii(path)) + '\t' +
               QByteArray::number(DosDateTime(QFileInfo(path).lastModified())) + '=' +
               QByteArray::number(QFileInfo(path).size()) + "\r\n";
    };
    const QByteArray list = line(a) + line(b);
    EXPECT_EQ(Joined({v.entries[0]}), list);
    EXPECT_EQ(v.count, 2);
    EXPECT_EQ(v.total, 5 + list.size());
    EXPECT_EQ(bf.ListedNames(), QStringList({LowerAscii(a), LowerAscii(b)}));
}

TEST_F(BackupWriterTest, FileIdListThatCannotBeSavedIsErrorSevenBeforeAnyArchive) {
    put(QStringLiteral("a.dat"), "x");
    const QByteArray tmp = qgetenv("TMPDIR");
    test::WriteAll(dir.filePath("plain"), "");
    for (const QString& unusable : {dir.filePath("no such folder"), dir.filePath("plain")}) {
        qputenv("TMPDIR", unusable.toUtf8());
        TBackupFile bf;
        bf.SaveFileID = true;
        const bool ok = bf.Backup(all(), archive());
        qputenv("TMPDIR", tmp);
        EXPECT_FALSE(ok);
        EXPECT_EQ(bf.ErrorCode(), 7);
        EXPECT_FALSE(QFile::exists(archive()));
        EXPECT_EQ(bf.ListedNames(), QStringList({LowerAscii(data() + "/a.dat")}));
    }
    EXPECT_EQ(fakes->prompter->texts(), QStringList(2, "Cannot create temporary file to save the file IDs"));
}

TEST_F(BackupWriterTest, IncrementalModeStoresOnlyFilesChangedSinceTheLastBackup) {
    const QString a = put(QStringLiteral("a.dat"), "one");
    const QString b = put(QStringLiteral("b.dat"), "two");
    TBackupFile bf;
    bf.SetBackupMode(bmIncremental);
    EXPECT_TRUE(bf.SetArchiveFlag);
    ASSERT_TRUE(bf.Backup(all(), archive()));
    EXPECT_EQ(bf.ListedNames(), QStringList({LowerAscii(a), LowerAscii(b)}));
    ASSERT_TRUE(bf.Backup(all(), archive()));
    EXPECT_EQ(bf.ListedNames(), QStringList());
    put(QStringLiteral("b.dat"), "changed");
    ASSERT_TRUE(bf.Backup(all(), archive()));
    EXPECT_EQ(bf.ListedNames(), QStringList({LowerAscii(b)}));
    bf.SetBackupMode(bmAll);
    ASSERT_TRUE(bf.Backup(all(), archive()));
    EXPECT_EQ(bf.ListedNames().size(), 2);
}

TEST(BackupNames, DosDateTimeAndMasks) {
    const QDateTime t(QDate(2024, 3, 7), QTime(9, 30, 45));
    EXPECT_EQ(DosDateTime(t), qint32(((2024 - 1980) << 9 | 3 << 5 | 7) << 16 | (9 << 11 | 30 << 5 | 22)));
    EXPECT_EQ(FromDosDateTime(DosDateTime(t)), QDateTime(QDate(2024, 3, 7), QTime(9, 30, 44)));
    EXPECT_FALSE(FromDosDateTime(0).isValid());
    struct Case {
        const char* mask;
        const char* name;
        bool match;
    };
    const Case cases[] = {{"*.*", "WorkList.db", true},
                          {"*.*", "README", true},
                          {"*.dat", "A.DAT", true},
                          {"*.dat", "a.dat.bak", false},
                          {"a?c.*", "abc.x", true},
                          {"a?c.*", "ac.x", false},
                          {"*", "x", true},
                          {"*.db", "db", false},
                          {"w*l*.db", "WorkList.db", true}};
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(c.mask, c.name), c.match) << c.mask << " " << c.name;
}
