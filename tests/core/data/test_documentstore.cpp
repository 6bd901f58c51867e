#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/documentstore.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "support/tempdata.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kq;

namespace {

QStringList Departments() {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(QStringLiteral("DeptName"));
    return names;
}

void AddDepartment(DataSet& ds, int id, const QString& name) {
    ds.update([&] { ds.appendRecord({id, name}); });
}

} // namespace

class DocumentFixture : public test::DataFolderTest {};
using DocumentTest = test::OnEachEngine<DocumentFixture>;
KQ_ON_EACH_ENGINE(DocumentTest);

TEST_P(DocumentTest, DataSetFilesAreKeptWhereTheEngineKeepsThem) {
    const QString file = DataFile(QStringLiteral("Department.dat"));
    const QByteArray first = DocumentStamp(file);
    ASSERT_FALSE(first.isEmpty());
    DataSet ds;
    ds.open(file, QStringLiteral("ID"));
    AddDepartment(ds, 2, QStringLiteral("仓库"));
    EXPECT_EQ(Departments(), QStringList({"办公室", "仓库"}));
    EXPECT_NE(DocumentStamp(file), first);
    // First-run content is written once only.
    EXPECT_TRUE(CreateMissingDataFiles(DataFolder()).isEmpty());
    EXPECT_EQ(Departments(), QStringList({"办公室", "仓库"}));
    // On the server the folder holds no dataset or database file.
    const QStringList local = QDir(dir.path()).entryList({"*.dat", "*.db"}, QDir::Files);
    EXPECT_EQ(local.size(), onServer() ? 0 : 9) << qPrintable(local.join(' '));
}

TEST_P(DocumentTest, AChangeIsMadeOnTheNewestVersionAndNeverOverwritesIt) {
    DataSet mine;
    mine.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    DataSet other; // another program or station
    other.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    AddDepartment(other, 2, QStringLiteral("仓库"));
    EXPECT_EQ(mine.update([&] { mine.appendRecord({3, QStringLiteral("车间")}); }), DataSet::Reread::Yes);
    EXPECT_EQ(Departments(), QStringList({"办公室", "仓库", "车间"}));
}

class ServerDocumentTest : public DocumentFixture {
protected:
    EngineKind engine() const override { return EngineKind::PostgreSQL; }
};

TEST_F(ServerDocumentTest, AWriteRacingAnotherStationIsRefusedAndTheNewerVersionRead) {
    DataSet mine;
    mine.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    DataSet other;
    other.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    try {
        // The other station writes after this change read the document and before it is written.
        mine.update([&] {
            AddDepartment(other, 2, QStringLiteral("仓库"));
            mine.appendRecord({3, QStringLiteral("车间")});
        });
        FAIL() << "written over the other station's version";
    } catch (const ChangedElsewhere& e) {
        EXPECT_EQ(e.message(),
                  "数据文件 Department.dat 已被另一工作站修改，本次修改未保存；已重新读取，请重新修改。");
    }
    EXPECT_EQ(Departments(), QStringList({"办公室", "仓库"}));
    EXPECT_FALSE(mine.modified());
    EXPECT_EQ(mine.recordCount(), 2); // the newer version, to apply the change on
    AddDepartment(mine, 3, QStringLiteral("车间"));
    EXPECT_EQ(Departments(), QStringList({"办公室", "仓库", "车间"}));
}

TEST_F(ServerDocumentTest, EveryStationReadsTheSameDocuments) {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("Department.dat")), QStringLiteral("ID"));
    AddDepartment(ds, 2, QStringLiteral("仓库"));
    // A second station: a data folder of its own on the same server.
    QTemporaryDir station;
    SetDataFolder(station.path());
    EXPECT_TRUE(CreateMissingDataFiles(DataFolder()).isEmpty());
    EXPECT_EQ(Departments(), QStringList({"办公室", "仓库"}));
    EXPECT_TRUE(QDir(station.path()).entryList({"*.dat", "*.db"}, QDir::Files).isEmpty());
    // A path outside the data folder stays a file, with the file's messages.
    EXPECT_TRUE(ServerDocumentName(dir.filePath("Department.dat")).isEmpty());
    EXPECT_EQ(ServerDocumentName(station.filePath("department.DAT")), "Department.dat");
}
