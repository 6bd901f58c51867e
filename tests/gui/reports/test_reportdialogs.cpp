#include "core/data/kqerror.h"
#include "core/setup/workcalendar.h"
#include "gui/reports/tfmfinddialog.h"
#include "gui/reports/tfmgetdatedialog.h"
#include "modal.h"
#include "support/tempdata.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace kq;

namespace {

TFindInfo Input(const QString& name, const QDateTime& begin, const QDateTime& end) {
    TFindInfo in;
    in.WorkNo = "7";
    in.Name = name;
    in.DeptName = "办公室";
    in.BeginDate = begin;
    in.EndDate = end;
    in.Days = 9;
    return in;
}

} // namespace

class ReportDialogsTest : public test::DataFolderTest {};

TEST_F(ReportDialogsTest, FindDialogListsEmployeesAndReturnsWhatItShows) {
    writeEmployees({{"王五", false, "", 4, 1, 1, "1"},
                    {"张三", false, "", 4, 2, 1, "2"},
                    {"王五", false, "", 4, 3, 2, "3"}});
    const TFindInfo in =
        Input("李四", QDateTime(QDate(2024, 3, 1), QTime(0, 0)), QDateTime(QDate(2024, 3, 7), QTime(9, 15)));
    for (bool confirm : {false, true}) {
        test::OnNextModal<TfmFindDialog>([confirm](TfmFindDialog* d) {
            auto* names = d->findChild<QComboBox*>("ComboBox1");
            EXPECT_EQ(names->count(), 3);
            EXPECT_EQ(names->itemText(0), "王五"); // file order, equal names twice
            EXPECT_EQ(names->itemText(2), "王五");
            EXPECT_EQ(names->currentText(), "李四");
            EXPECT_EQ(d->findChild<QDateEdit*>("EndDate")->date(), QDate(2024, 3, 7));
            names->setEditText("张");
            d->findChild<QDateEdit*>("BeginDate")->setDate(QDate(2024, 3, 9)); // after the last date
            d->findChild<QPushButton*>(confirm ? "SeSkinButton1" : "SeSkinButton2")->click();
        });
        const TFindInfo out = ShowFindDialog(in);
        EXPECT_EQ(out.Confirmed, confirm);
        EXPECT_EQ(out.Name, "张");
        EXPECT_EQ(out.BeginDate, QDateTime(QDate(2024, 3, 9), QTime(0, 0)));
        EXPECT_EQ(out.EndDate, QDateTime(QDate(2024, 3, 7), QTime(9, 15))); // the time of day is kept
        EXPECT_TRUE(out.WorkNo.isEmpty() && out.DeptName.isEmpty());
        EXPECT_EQ(out.Days, 0);
    }
    // Closing by the frame cancels.
    test::OnNextModal<TfmFindDialog>([](TfmFindDialog* d) { d->close(); });
    EXPECT_FALSE(ShowFindDialog(in).Confirmed);
}

TEST_F(ReportDialogsTest, FindDialogWithoutEmployeeFileFailsBeforeShowing) {
    QFile::remove(path("Employee.dat"));
    EXPECT_THROW(ShowFindDialog(TFindInfo()), KqError);
}

TEST_F(ReportDialogsTest, PeriodDialogCountsDaysAndTakesOnlyDigits) {
    TFindInfo in =
        Input("x", QDateTime(QDate(2024, 3, 4), QTime(0, 0)), QDateTime(QDate(2024, 3, 10), QTime(18, 0)));
    TfmGetDateDialog d(in);
    d.show();
    auto* days = d.findChild<QLineEdit*>("EdtDays");
    EXPECT_EQ(days->text(), "5");
    d.findChild<QDateEdit*>("BeginDate")->setDate(QDate(2024, 3, 11));
    EXPECT_EQ(days->text(), "0");
    d.findChild<QDateEdit*>("EndDate")->setDate(QDate(2024, 3, 31));
    EXPECT_EQ(days->text(), "15");
    days->setFocus();
    days->selectAll();
    QTest::keyClicks(days, "a7b-3");
    EXPECT_EQ(days->text(), "73");
    QTest::keyClick(days, Qt::Key_Backspace);
    EXPECT_EQ(days->text(), "7");
    d.findChild<QPushButton*>("BtnOk")->click();
    const TFindInfo out = d.values();
    EXPECT_TRUE(out.Confirmed);
    EXPECT_EQ(out.Days, 15); // from the dates, not from the box
    EXPECT_EQ(out.BeginDate, QDateTime(QDate(2024, 3, 11), QTime(0, 0)));
    EXPECT_EQ(out.EndDate, QDateTime(QDate(2024, 3, 31), QTime(18, 0)));
    EXPECT_TRUE(out.Name.isEmpty());

    test::OnNextModal<TfmGetDateDialog>([](TfmGetDateDialog* dlg) {
        EXPECT_EQ(dlg->findChild<QLineEdit*>("EdtDays")->text(), "5");
        dlg->findChild<QDateEdit*>("EndDate")->setDate(QDate(2024, 3, 3));
        dlg->findChild<QPushButton*>("BtnCancel")->click();
    });
    const TFindInfo cancelled = ShowPeriodDialog(in);
    EXPECT_FALSE(cancelled.Confirmed);
    EXPECT_EQ(cancelled.Days, 0);
    EXPECT_EQ(cancelled.EndDate.date(), QDate(2024, 3, 3));
}

TEST_F(ReportDialogsTest, PeriodDialogCountsByTheCalendar) {
    SetCalendarDay({QDate(2024, 3, 8), CalendarKind::Holiday, "妇女节"});
    SetCalendarDay({QDate(2024, 3, 9), CalendarKind::Workday, "调休"});
    SetCalendarDay({QDate(2024, 3, 11), CalendarKind::Holiday, ""});
    TfmGetDateDialog d(
        Input("", QDateTime(QDate(2024, 3, 4), QTime(0, 0)), QDateTime(QDate(2024, 3, 10), QTime(0, 0))));
    d.show();
    EXPECT_EQ(d.findChild<QLineEdit*>("EdtDays")->text(), "5"); // Friday off, Saturday worked
    d.findChild<QDateEdit*>("EndDate")->setDate(QDate(2024, 3, 11));
    EXPECT_EQ(d.findChild<QLineEdit*>("EdtDays")->text(), "5");
    d.findChild<QPushButton*>("BtnOk")->click();
    EXPECT_EQ(d.values().Days, 5);
}
