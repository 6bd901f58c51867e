#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/syssetup.h"
#include "support/tempdata.h"
#include "support/testhelpers.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kq;

class SysSetupWriterTest : public test::DataFolderTest {};

TEST_F(SysSetupWriterTest, StoresTheFirstRowAndKeepsTheRest) {
    const QList<FieldDef> fields = {{"StartBrush", FieldType::Boolean},
                                    {"CompanyName", FieldType::String, 40},
                                    {"IsBeep", FieldType::Boolean},
                                    {"Extra", FieldType::Integer}};
    DataSet::writeFile(path("SysSetup.Dat"), fields, {{false, "旧", true, 7}, {true, "second", false, 8}});
    // Forty bytes at most: the twenty-first Chinese character is cut.
    WriteSysSetup({true, QString(21, QChar(0x5F20)), false});
    const SysSetupInfo info = ReadSysSetup();
    EXPECT_TRUE(info.StartBrush);
    EXPECT_EQ(info.CompanyName, QString(20, QChar(0x5F20)));
    EXPECT_FALSE(info.IsBeep);
    DataSet ds;
    ds.open(path("SysSetup.Dat"));
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.asInt("Extra"), 7);
    ds.next();
    EXPECT_EQ(ds.asString("CompanyName"), "second");
    ds.close();

    DataSet::writeFile(path("SysSetup.Dat"), fields, {}); // an empty file gets its row
    WriteSysSetup({false, "公司", true});
    EXPECT_EQ(ReadSysSetup().CompanyName, "公司");

    QFile::remove(path("SysSetup.Dat"));
    EXPECT_THROW(WriteSysSetup({}), KqError);
    EXPECT_FALSE(QFile::exists(path("SysSetup.Dat")));
}

TEST_F(SysSetupWriterTest, StoresOnlyWhatTheCallerChangedAndNeverOverwritesAnotherProgram) {
    const SysSetupInfo read = ReadSysSetup();                         // as a window read it when it opened
    WriteSysSetup({read.StartBrush, read.CompanyName, !read.IsBeep}); // another program
    // The window changed the company name only: the other program's switch stays.
    WriteSysSetup({read.StartBrush, "新名", read.IsBeep}, read);
    EXPECT_EQ(ReadSysSetup(), (SysSetupInfo{read.StartBrush, "新名", !read.IsBeep}));
    // A value changed both there and here is refused, and nothing is written.
    const QByteArray before = test::ReadBytes(path("SysSetup.Dat"));
    EXPECT_THROW(WriteSysSetup({!read.StartBrush, "另名", read.IsBeep}, read), ChangedElsewhere);
    EXPECT_EQ(test::ReadBytes(path("SysSetup.Dat")), before);
}
