#include "data/dataset.h"
#include "data/datafolder.h"
#include "data/kqerror.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace kq;

namespace {

const QList<FieldDef> kFields = {{QStringLiteral("ID"), FieldType::Integer},
                                 {QStringLiteral("Name"), FieldType::String, 6},
                                 {QStringLiteral("Flag"), FieldType::Boolean},
                                 {QStringLiteral("At"), FieldType::Time}};

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
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
    for (ds.first(); !ds.eof(); ds.next()) names << ds.asString(QStringLiteral("name"));
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

TEST_F(DataSetTest, WriteIsAtomicAndFailuresLeaveTheFile) {
    const QByteArray before = bytes();
    DataSet ds;
    ds.open(file);
    ds.appendRecord({9, QStringLiteral("New"), false, QVariant()});
    // The folder becomes read-only: the save fails, the old content stays whole.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool writable = QFileInfo(dir.path()).isWritable(); // root ignores permissions
    if (!writable) {
        EXPECT_THROW(ds.close(), KqError);
        EXPECT_EQ(bytes(), before);
    }
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QStringList leftovers = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(leftovers, QStringList({"Sample.dat"}));
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
    for (ds.first(); !ds.eof(); ds.next()) order << ds.asInt(QStringLiteral("Slot"));
    EXPECT_EQ(order, QList<int>({0, 1, 2}));
}
