#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/maintenance/informtable.h"
#include "support/tempdata.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kq;

namespace {

class InformTableTestFixture : public test::DataFolderTest {
protected:
    void add(const QString& date, const QString& text) {
        ExecSql("insert into Inform (WDate, Inform) values (?, ?)", {date, text});
    }
    QStringList stored() {
        QStringList out;
        QSqlQuery q = ExecSql("select WDate, Inform from Inform order by rowid");
        while (q.next())
            out << q.value(0).toString() + "=" + q.value(1).toString();
        return out;
    }
};

using InformTableTest = test::OnEachEngine<InformTableTestFixture>;
KQ_ON_EACH_ENGINE(InformTableTest);

} // namespace

TEST_P(InformTableTest, RowsInTableOrderAndNothingStoredBeforePost) {
    add("2024-03-09", "c");
    add("2024-03-01", "a");
    InformTable t;
    t.open();
    ASSERT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.dateAt(0), "2024-03-09"); // the table's own order, not by date
    EXPECT_EQ(t.recNo(), 0);
    t.append();
    EXPECT_EQ(t.state(), InformTable::State::Insert);
    t.setDate("2024-03-07");
    t.setText("new");
    EXPECT_EQ(stored().size(), 2);
    t.cancel();
    EXPECT_EQ(t.state(), InformTable::State::Browse);
    EXPECT_EQ(t.date(), "2024-03-09");
    EXPECT_EQ(stored().size(), 2);

    t.append();
    t.setDate("2024-3-7"); // kept as the text the punch screen looks for
    t.setText("new");
    t.post();
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_EQ(t.date(), "2024-03-07");
    t.moveTo(1);
    t.edit();
    t.setText("changed");
    t.post();
    t.moveTo(0);
    t.remove();
    EXPECT_EQ(t.date(), "2024-03-01"); // the next row becomes current
    EXPECT_EQ(stored(), QStringList({"2024-03-01=changed", "2024-03-07=new"}));
    t.moveTo(1);
    t.remove();
    EXPECT_EQ(t.recNo(), 0); // the last row went: the one before it
    t.remove();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(t.recNo(), -1);
    EXPECT_THROW(t.remove(), KqError);
}

TEST_P(InformTableTest, InvalidDateIsRefusedAndTheEditStays) {
    InformTable t;
    t.open();
    for (const QString date : {"", "2024-02-30", "07.03.2024", "abc"}) {
        t.append();
        t.setDate(date);
        EXPECT_THROW(t.post(), KqError) << date.toStdString();
        EXPECT_EQ(t.state(), InformTable::State::Insert);
        t.cancel();
    }
    EXPECT_TRUE(stored().isEmpty());
}

TEST_P(InformTableTest, EditOnAnEmptyTableAppendsAndSignalsFollowTheState) {
    InformTable t;
    QSignalSpy states(&t, &InformTable::stateChanged);
    EXPECT_THROW(t.edit(), KqError); // not open
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), InformTable::State::Insert);
    t.setDate("2024-03-07");
    t.post();
    EXPECT_EQ(states.count(), 3); // open, insert, browse
    t.edit();
    t.setText("pending");
    t.close();
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(stored(), QStringList({"2024-03-07="}));
    EXPECT_THROW(t.setText("x"), KqError);
}

TEST_P(InformTableTest, StorageFailureKeepsTheEdit) {
    InformTable t;
    t.open();
    t.append();
    t.setDate("2024-03-07");
    CloseKQDataBase();
    EXPECT_THROW(t.post(), KqError);
    EXPECT_EQ(t.state(), InformTable::State::Insert);
    EXPECT_EQ(t.recordCount(), 0);
    OpenKQDataBase(DataFolder());
    t.post();
    EXPECT_EQ(stored(), QStringList({"2024-03-07="}));
}
