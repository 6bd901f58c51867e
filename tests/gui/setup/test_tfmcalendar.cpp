#include "core/setup/workcalendar.h"
#include "gui/setup/tfmcalendar.h"
#include "support/tempdata.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace kq;

class CalendarWindowTest : public test::DataFolderTest {
protected:
    static QStringList Row(TfmCalendar& w, int r) {
        auto* grid = w.findChild<QTableWidget*>("DBGrid1");
        QStringList out;
        for (int c = 0; c < grid->columnCount(); ++c)
            out << grid->item(r, c)->text();
        return out;
    }
};

TEST_F(CalendarWindowTest, AddReplaceAndDeleteDays) {
    SetCalendarDay({QDate(2024, 10, 1), CalendarKind::Holiday, "国庆节"});
    TfmCalendar w;
    EXPECT_EQ(w.windowTitle(), "节假日与调休");
    auto* grid = w.findChild<QTableWidget*>("DBGrid1");
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(Row(w, 0), QStringList({"2024-10-01", "周二", "节假日", "国庆节"}));

    auto* date = w.findChild<QDateEdit*>("DPDate");
    auto* name = w.findChild<QLineEdit*>("EdtName");
    date->setDate(QDate(2024, 9, 29));
    w.findChild<QRadioButton*>("RBWorkday")->setChecked(true);
    name->setText("国庆调休");
    w.BitBtnAddClick();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Row(w, 0), QStringList({"2024-09-29", "周日", "调休上班", "国庆调休"}));
    EXPECT_EQ(grid->currentRow(), 0); // the day just stored

    // Choosing a row fills the fields; adding its date again replaces the entry.
    grid->setCurrentCell(1, 0);
    EXPECT_EQ(date->date(), QDate(2024, 10, 1));
    EXPECT_TRUE(w.findChild<QRadioButton*>("RBHoliday")->isChecked());
    EXPECT_EQ(name->text(), "国庆节");
    name->setText("国庆");
    w.BitBtnAddClick();
    EXPECT_EQ(ReadCalendar().size(), 2);
    EXPECT_EQ(ReadCalendar().last().name, "国庆");

    fakes->prompter->answers = {false};
    w.BitBtnDelClick();
    EXPECT_EQ(fakes->prompter->lastText(), "将要删除[ 2024-10-01 国庆 ] 节假日？");
    EXPECT_EQ(ReadCalendar().size(), 2);
    w.BitBtnDelClick(); // answered Yes
    EXPECT_EQ(ReadCalendar().size(), 1);
    EXPECT_EQ(grid->rowCount(), 1);
}
