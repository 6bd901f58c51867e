#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/datasetlock.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace kq;

namespace {

const QList<FieldDef> kFields = {{QStringLiteral("ID"), FieldType::Integer},
                                 {QStringLiteral("Name"), FieldType::String, 6},
                                 {QStringLiteral("Flag"), FieldType::Boolean},
                                 {QStringLiteral("At"), FieldType::Time}};

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override { writeSample(); }
    void writeSample() {
        file = dir.filePath(QStringLiteral("Sample.dat"));
        DataSet::writeFile(file, kFields,
                           {{3, QStringLiteral("Carol"), true, QStringLiteral("08:00:00")},
                            {1, QStringLiteral("alice"), false, QVariant()},
                            {2, QStringLiteral("Bob"), true, QStringLiteral("17:30:05")},
                            {1, QStringLiteral("Ann"), true, QVariant()}});
    }
    QByteArray bytes() const {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QTemporaryDir dir;
    QString file;
};

QStringList Names(DataSet& ds) {
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(QStringLiteral("name"));
    return names;
}

} // namespace

TEST_F(DataSetTest, RoundTripKeepsTypesAndNulls) {
    DataSet ds;
    ds.open(file);
    ds.append();
    ds.setValue(QStringLiteral("ID"), QStringLiteral("7"));
    ds.setValue(QStringLiteral("Name"), QStringLiteral("it's\\"));
    ds.setValue(QStringLiteral("Flag"), true);
    ds.setValue(QStringLiteral("At"), QTime(23, 59, 59));
    ds.post();
    ds.close();
    ds.open(file);
    ASSERT_TRUE(ds.locate(QStringLiteral("ID"), {7}));
    EXPECT_EQ(ds.asString(QStringLiteral("NAME")), "it's\\");
    EXPECT_TRUE(ds.asBool(QStringLiteral("flag")));
    EXPECT_EQ(ds.asTime(QStringLiteral("at")), QTime(23, 59, 59));
    ASSERT_TRUE(ds.locate(QStringLiteral("Name"), {QStringLiteral("ALICE")}));
    EXPECT_TRUE(ds.value(QStringLiteral("At")).isNull());
    EXPECT_EQ(ds.asTime(QStringLiteral("At")), QTime(0, 0, 0)); // null reads as 00:00:00
}

TEST_F(DataSetTest, FileAndFieldNamesIgnoreCase) {
    DataSet ds;
    ds.open(dir.filePath(QStringLiteral("SAMPLE.DAT")), QStringLiteral("id"));
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.fieldIndex(QStringLiteral("nAmE")), 1);
    EXPECT_THROW(ds.value(QStringLiteral("Missing")), KqError);
}

TEST_F(DataSetTest, IndexOrderIsStableAndFilterHidesRows) {
    DataSet ds;
    ds.open(file);
    EXPECT_EQ(Names(ds), QStringList({"Carol", "alice", "Bob", "Ann"}));
    ds.open(file, QStringLiteral("ID"));
    EXPECT_EQ(Names(ds), QStringList({"alice", "Ann", "Bob", "Carol"}));
    ds.open(file, QStringLiteral("ID"), QStringLiteral("ID=%1").arg(1));
    EXPECT_EQ(Names(ds), QStringList({"alice", "Ann"}));
    // Appended rows take their place in index order.
    ds.appendRecord({1, QStringLiteral("Zed"), false, QVariant()});
    EXPECT_EQ(Names(ds), QStringList({"alice", "Ann", "Zed"}));
}

TEST_F(DataSetTest, LocateOnTwoFieldsIgnoresCase) {
    DataSet ds;
    ds.open(file);
    EXPECT_TRUE(ds.locate(QStringLiteral("Name;Flag"), {QStringLiteral("bob"), true}));
    EXPECT_EQ(ds.asInt(QStringLiteral("ID")), 2);
    EXPECT_FALSE(ds.locate(QStringLiteral("Name;Flag"), {QStringLiteral("bob"), false}));
    EXPECT_EQ(ds.asInt(QStringLiteral("ID")), 2); // position kept
    EXPECT_FALSE(ds.locate(QStringLiteral("ID"), {QStringLiteral("x")}));
}

TEST_F(DataSetTest, EditCancelDeleteAndPostCutToGbkWidth) {
    DataSet ds;
    ds.open(file, QStringLiteral("ID"));
    ds.first();
    ds.edit();
    ds.setValue(QStringLiteral("Name"), QStringLiteral("changed"));
    ds.cancel();
    EXPECT_EQ(ds.asString(QStringLiteral("Name")), "alice");
    ds.edit();
    ds.setValue(QStringLiteral("Name"), QStringLiteral("张三丰x")); // 7 bytes into 6: the x goes
    ds.post();
    EXPECT_EQ(ds.asString(QStringLiteral("Name")), "张三丰");
    ds.edit();
    ds.setValue(QStringLiteral("Name"), QStringLiteral("ab张三丰")); // 8 bytes: cut before 丰
    ds.post();
    EXPECT_EQ(ds.asString(QStringLiteral("Name")), "ab张三");
    ds.moveTo(1);
    ds.remove();
    EXPECT_EQ(ds.asString(QStringLiteral("Name")), "Bob"); // the next row became current
    ds.close();
    ds.open(file);
    EXPECT_EQ(ds.recordCount(), 3);
}

TEST_F(DataSetTest, CloseWithoutChangesLeavesFileUntouched) {
    const QByteArray before = bytes();
    const QDateTime stamp = QFileInfo(file).lastModified();
    DataSet ds;
    ds.open(file, QStringLiteral("ID"));
    ds.locate(QStringLiteral("ID"), {2});
    ds.edit();
    ds.setValue(QStringLiteral("Name"), QStringLiteral("x")); // an unposted edit is dropped
    ds.close();
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(QFileInfo(file).lastModified(), stamp);
}

TEST_F(DataSetTest, FailedWriteLeavesTheFileWholeAndKeepsTheChange) {
    const QByteArray before = bytes();
    auto* saves = new test::FakeSaveFiles;
    Services().saveFiles.reset(saves);
    // The device fails at its first byte, within the content, and within the row added at its end.
    for (qint64 budget : {qint64(0), qint64(40), qint64(before.size() + 10)}) {
        writeSample();
        DataSet ds;
        ds.open(file);
        saves->failAfter = budget;
        try {
            ds.update([&] { ds.appendRecord({9, QStringLiteral("New"), false, QVariant()}); });
            ADD_FAILURE() << "no error at " << budget;
        } catch (const KqError& e) {
            EXPECT_TRUE(e.message().contains("No space left on device")) << e.message().toStdString();
        }
        EXPECT_EQ(bytes(), before) << budget;
        QStringList files = QDir(dir.path()).entryList(QDir::Files); // no temporary file left
        files.sort();
        EXPECT_EQ(files, QStringList({"Sample.dat", "datasets.lock"}));
        EXPECT_TRUE(ds.modified());
        EXPECT_EQ(ds.recordCount(), 5); // the change stays, to be written later
        EXPECT_THROW(ds.close(), KqError);
        EXPECT_TRUE(ds.isOpen());

        saves->failAfter.reset();
        ds.update([&] { ds.appendRecord({10, QStringLiteral("Next"), false, QVariant()}); });
        DataSet check;
        check.open(file);
        EXPECT_EQ(Names(check), QStringList({"Carol", "alice", "Bob", "Ann", "New", "Next"})) << budget;
    }
    Services().saveFiles = std::make_unique<SaveFiles>();
}

TEST_F(DataSetTest, FileSystemRefusingBytesLeavesTheFileWhole) {
    // The file system takes no byte beyond 100 of any file, as a full disk would: the real save
    // file meets the failure in its write, so nothing cut is renamed over the old file.
    const QByteArray before = bytes();
    DataSet ds;
    ds.open(file);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        ds.update([&] { ds.appendRecord({9, QStringLiteral("New"), false, QVariant()}); });
    } catch (const KqError&) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_EQ(bytes(), before);
    EXPECT_TRUE(ds.modified());
}

TEST_F(DataSetTest, UpdateWorksOnTheCurrentFileAndNeverOverwritesAnotherWriter) {
    DataSet mine;
    mine.open(file, QStringLiteral("ID"));
    ASSERT_TRUE(mine.locate(QStringLiteral("Name"), {QStringLiteral("Bob")}));
    const QVariantList bob = mine.currentRow();

    // Another writer (another program, as far as this dataset knows) adds a row.
    DataSet other;
    other.open(file);
    EXPECT_EQ(other.update([&] {
        other.appendRecord({7, QStringLiteral("Other"), false, QVariant()});
    }),
              DataSet::Reread::No);
    EXPECT_EQ(mine.update([&] {
        ASSERT_TRUE(mine.locateRow(bob));
        mine.edit();
        mine.setValue(QStringLiteral("Name"), QStringLiteral("Bobby"));
        mine.post();
    }),
              DataSet::Reread::Yes);
    DataSet check;
    check.open(file);
    EXPECT_EQ(Names(check), QStringList({"Carol", "alice", "Bobby", "Ann", "Other"}));
    check.close();

    // A change that throws is undone: nothing is written, the rows are as before.
    const QByteArray before = bytes();
    EXPECT_THROW(mine.update([&] {
        mine.first();
        mine.remove();
        throw KqError(QStringLiteral("refused"));
    }),
                 KqError);
    EXPECT_EQ(mine.recordCount(), 5);
    EXPECT_EQ(bytes(), before);

    // A change that could not be written is dropped, and reported, when another writer came
    // between; close() never writes over the other writer either.
    auto* saves = new test::FakeSaveFiles;
    Services().saveFiles.reset(saves);
    saves->failAfter = 0;
    EXPECT_THROW(mine.update([&] {
        mine.appendRecord({8, QStringLiteral("Lost"), false, QVariant()});
    }),
                 KqError);
    saves->failAfter.reset();
    other.update([&] { other.appendRecord({9, QStringLiteral("Other2"), false, QVariant()}); });
    saves->failAfter = 0;
    EXPECT_THROW(mine.update([&] {
        mine.appendRecord({8, QStringLiteral("Lost"), false, QVariant()});
    }),
                 KqError);
    saves->failAfter.reset();
    other.update([&] { other.appendRecord({11, QStringLiteral("Other3"), false, QVariant()}); });
    EXPECT_THROW(mine.close(), KqError);
    EXPECT_TRUE(mine.isOpen());
    EXPECT_EQ(mine.update([&] {
        mine.appendRecord({12, QStringLiteral("Kept"), false, QVariant()});
    }),
              DataSet::Reread::DroppingUnwritten);
    check.open(file);
    EXPECT_EQ(Names(check),
              QStringList({"Carol", "alice", "Bobby", "Ann", "Other", "Other2", "Other3", "Kept"}));
    Services().saveFiles = std::make_unique<SaveFiles>();
}

TEST_F(DataSetTest, FilesHoldingPasswordsAreReadableByTheirOwnerOnly) {
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    const QString first = dir.filePath(QStringLiteral("Data"));
    CreateMissingDataFiles(first);
    for (const QString& name : DataSetFileNames()) {
        const QFileDevice::Permissions p = QFile::permissions(first + QLatin1Char('/') + name);
        EXPECT_TRUE(p & QFileDevice::ReadOwner) << name.toStdString();
        EXPECT_EQ((p & others) == 0, name == QLatin1String("Employee.dat")) << name.toStdString();
    }
    // A file written before with loose permissions is restricted at its next write; the field
    // name is matched ignoring case.
    const QString employees = dir.filePath(QStringLiteral("Staff.dat"));
    QFile loose(employees);
    ASSERT_TRUE(loose.open(QIODevice::WriteOnly));
    loose.write(R"({"fields":[{"name":"PASSWORD","type":"string","width":10}],"rows":[["x"]]})");
    loose.close();
    QFile::setPermissions(employees, QFile::permissions(employees) | QFileDevice::ReadOther);
    DataSet ds;
    ds.open(employees);
    ds.update([&] { ds.appendRecord({QStringLiteral("y")}); });
    EXPECT_EQ(QFile::permissions(employees) & others, 0);
    EXPECT_TRUE(QFile::permissions(employees) & QFileDevice::ReadOwner);
}

TEST_F(DataSetTest, LockKeepsOtherWritersOutUntilReleased) {
    const QString lockFile = dir.filePath(DataSetLock::fileName());
    {
        const DataSetLock held(dir.path());
        const DataSetLock again(dir.path()); // the same thread takes it again
        EXPECT_TRUE(QFile::exists(lockFile));
    }
    // Another open of the lock file stands for another process.
    const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    try {
        const DataSetLock blocked(dir.path(), 100);
        ADD_FAILURE() << "locked twice";
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().startsWith("数据文件正被其他程序写入")) << e.message().toStdString();
    }
    ::flock(fd, LOCK_UN);
    ::close(fd);
    EXPECT_NO_THROW(DataSetLock(dir.path(), 100));
}

TEST_F(DataSetTest, MissingOrBrokenFilesGiveClearErrors) {
    DataSet ds;
    try {
        ds.open(dir.filePath(QStringLiteral("Nope.dat")));
        FAIL();
    } catch (const KqError& e) {
        EXPECT_TRUE(e.message().contains("Nope.dat"));
    }
    QFile broken(dir.filePath(QStringLiteral("Broken.dat")));
    broken.open(QIODevice::WriteOnly);
    broken.write("{\"fields\": [");
    broken.close();
    EXPECT_THROW(ds.open(broken.fileName()), KqError);
    EXPECT_FALSE(ds.isOpen());
    EXPECT_EQ(broken.size(), 12); // never truncated
}

TEST(DataSetMemory, SortedInMemoryList) {
    DataSet ds;
    ds.openInMemory({{QStringLiteral("At"), FieldType::Time}, {QStringLiteral("Slot"), FieldType::Integer}},
                    QStringLiteral("At"));
    ds.appendRecord({QTime(13, 0), 2});
    ds.appendRecord({QTime(8, 0), 0});
    ds.appendRecord({QTime(12, 0), 1});
    QList<int> order;
    for (ds.first(); !ds.eof(); ds.next())
        order << ds.asInt(QStringLiteral("Slot"));
    EXPECT_EQ(order, QList<int>({0, 1, 2}));
}
