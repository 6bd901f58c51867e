#include "core/data/database.h"
#include "core/data/dataset.h"
#include "core/reports/recordmodel.h"
#include "gui/reports/recordgrid.h"
#include "gui/reports/tfmfinddialog.h"
#include "gui/reports/tfmmodify.h"
#include "modal.h"
#include "support/gui/findchild.h"
#include "support/qtprinters.h"
#include "support/tempdata.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace kq;

namespace {

void AnswerFind(const QString& name, const QDate& first, const QDate& last) {
    test::OnNextModal<TfmFindDialog>([=](TfmFindDialog* d) {
        d->findChild<QComboBox*>("ComboBox1")->setEditText(name);
        d->findChild<QDateEdit*>("BeginDate")->setDate(first);
        d->findChild<QDateEdit*>("EndDate")->setDate(last);
        d->findChild<QPushButton*>("SeSkinButton1")->click();
    });
}

} // namespace

class TfmModifyTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        test::DataFolderTest::SetUp();
        writeShifts({{1, "早", "08:00:00", "12:00:00", true, true, false},
                     {2, "午", "13:00:00", "17:00:00", false, false, false}});
        ExecSql("insert into WorkList (DDate, Name, T0, T1, LeaveType, Comment) values "
                "('2024-03-01', '张三', '08:10:00', '12:00:00', 2, '旧')");
        ExecSql("insert into WorkList (DDate, Name, T0) values ('2024-03-01', '李四', '09:00:00')");
        ExecSql("insert into WorkList (DDate, Name) values ('2024-03-02', '张三')");
    }
    QLineEdit* box(TfmModify& w, int n) {
        return w.findChild<QLineEdit*>(QStringLiteral("MyDBEdit%1").arg(n));
    }
    RecordGrid* grid(TfmModify& w) { return w.findChild<RecordGrid*>("DBGrid1"); }
    QPushButton* button(TfmModify& w, const char* name) { return w.findChild<QPushButton*>(name); }
    QVariantList stored(int isn) {
        QSqlQuery q = ExecSql("select T0, T1, T2, LeaveType, Comment from WorkList where ISn = ?", {isn});
        QVariantList v;
        if (q.next())
            for (int i = 0; i < 5; ++i)
                v << (q.value(i).isNull() ? QVariant() : q.value(i));
        return v;
    }
};

TEST_F(TfmModifyTest, TenShiftsLayTwentyBoxesOnFourLines) {
    QList<QVariantList> shifts;
    for (int k = 0; k < 10; ++k)
        shifts.append({k + 1, QStringLiteral("班%1").arg(k), "08:00:00", "09:00:00", false, false, false});
    writeShifts(shifts);
    TfmModify w;
    // The positions count from below the group box's title, which the style may draw taller.
    const int top = qMax(0, w.findChild<QGroupBox*>("GroupBox1")->contentsRect().top() - 15);
    EXPECT_EQ(box(w, 0)->geometry(), QRect(60, 15, 55, 21).translated(0, top));
    EXPECT_EQ(box(w, 5)->geometry(), QRect(610, 15, 55, 21).translated(0, top));
    EXPECT_EQ(box(w, 6)->geometry(), QRect(60, 40, 55, 21).translated(0, top));
    EXPECT_EQ(box(w, 19)->geometry(), QRect(170, 90, 55, 21).translated(0, top));
    EXPECT_EQ(box(w, 20), nullptr);
    EXPECT_EQ(w.findChild<QLabel*>("MyLabel19")->geometry().topLeft(), QPoint(120, 93 + top));
    EXPECT_EQ(w.findChild<QLabel*>("MyLabel19")->text(), "班9下班");
    EXPECT_EQ(w.findChild<QComboBox*>("CBLeftReson")->geometry(), QRect(59, 117, 145, 21).translated(0, top));
    EXPECT_EQ(w.findChild<QLineEdit*>("EdtComment")->geometry(), QRect(248, 117, 361, 21).translated(0, top));
    EXPECT_EQ(button(w, "BtnClose")->geometry(), QRect(608, 145, 75, 25).translated(0, top));
    EXPECT_EQ(w.findChild<QGroupBox*>("GroupBox1")->height(), 177 + top);

    writeShifts({});
    TfmModify bare;
    const int bareTop = qMax(0, bare.findChild<QGroupBox*>("GroupBox1")->contentsRect().top() - 15);
    EXPECT_EQ(box(bare, 0), nullptr);
    EXPECT_EQ(button(bare, "BtnDelete")->geometry(), QRect(162, 70, 75, 25).translated(0, bareTop));
    EXPECT_EQ(bare.findChild<QGroupBox*>("GroupBox1")->height(), 102 + bareTop);
}

TEST_F(TfmModifyTest, OpensOnTheWholeTableShowingTheFirstRow) {
    TfmModify w;
    EXPECT_EQ(w.windowTitle(), "数据修改");
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.findChild<QGroupBox*>("GroupBox1")->title(), "数据输入");
    EXPECT_EQ(grid(w)->recordModel()->rowCount(), 3);
    EXPECT_EQ(grid(w)->currentRow(), 0);
    EXPECT_EQ(box(w, 0)->text(), "08:10:00");
    EXPECT_EQ(box(w, 2)->text(), "");
    EXPECT_EQ(box(w, 4), nullptr);
    auto* reasons = w.findChild<QComboBox*>("CBLeftReson");
    EXPECT_EQ(reasons->count(), 3);
    EXPECT_EQ(reasons->currentText(), "病假");
    EXPECT_EQ(w.findChild<QLineEdit*>("EdtComment")->text(), "旧");
    EXPECT_FALSE(w.editing());
    EXPECT_FALSE(button(w, "BtnApp")->isEnabled());
    EXPECT_FALSE(button(w, "BtnCancel")->isEnabled());
    EXPECT_TRUE(button(w, "BtnCancel")->isDefault());

    grid(w)->setCurrentIndex(grid(w)->recordModel()->index(1, 0)); // 李四: no reason, no comment
    EXPECT_EQ(box(w, 0)->text(), "09:00:00");
    EXPECT_EQ(reasons->currentText(), "");
    EXPECT_EQ(w.findChild<QLineEdit*>("EdtComment")->text(), "");
    EXPECT_FALSE(w.editing());

    // A reason renamed since the window opened joins the list when a row shows it.
    DataSet::writeFile(path("BlankReson.dat"),
                       {{"SerialNo", FieldType::Integer}, {"Name", FieldType::String, 20}},
                       {{1, "事假"}, {2, "年假"}});
    grid(w)->setCurrentIndex(grid(w)->recordModel()->index(0, 0));
    EXPECT_EQ(reasons->count(), 4);
    EXPECT_EQ(reasons->currentText(), "年假");
    EXPECT_FALSE(w.editing());
}

TEST_F(TfmModifyTest, FilterCompletesThePersonAndIgnoresABlankName) {
    TfmModify w;
    AnswerFind("  ", QDate(2024, 3, 1), QDate(2024, 3, 3));
    test::Click(&w, "BtnFind");
    EXPECT_EQ(grid(w)->recordModel()->rowCount(), 3);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 3);
    AnswerFind("张三", QDate(2024, 3, 1), QDate(2024, 3, 3));
    w.findChild<QAction*>("PMIFilter")->trigger();
    EXPECT_EQ(countRows("select count(*) from WorkList where Name = '张三'"), 3);
    ASSERT_EQ(grid(w)->recordModel()->rowCount(), 3);
    EXPECT_EQ(grid(w)->recordModel()->data(grid(w)->recordModel()->index(2, 0)).toString(), "2024-03-03");
    EXPECT_EQ(box(w, 0)->text(), "08:10:00");
}

TEST_F(TfmModifyTest, TypingEntersTheEditStateAndCancelOrEnterLeavesIt) {
    TfmModify w;
    w.show();
    QApplication::setActiveWindow(&w);
    QTest::keyClicks(box(w, 1), "1");
    EXPECT_TRUE(w.editing());
    EXPECT_TRUE(button(w, "BtnApp")->isEnabled());
    EXPECT_FALSE(grid(w)->isEnabled());
    EXPECT_EQ(grid(w)->palette().color(QPalette::Base), QColor(128, 128, 128));
    button(w, "BtnCancel")->click();
    EXPECT_FALSE(w.editing());
    EXPECT_TRUE(grid(w)->isEnabled());
    EXPECT_EQ(grid(w)->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(box(w, 1)->text(), "12:00:001"); // kept as typed
    EXPECT_EQ(stored(1)[1], "12:00:00");

    QTest::keyClicks(w.findChild<QLineEdit*>("EdtComment"), "x");
    EXPECT_TRUE(w.editing());
    QTest::keyClick(w.findChild<QLineEdit*>("EdtComment"), Qt::Key_Return); // the default button cancels
    EXPECT_FALSE(w.editing());
    w.findChild<QComboBox*>("CBLeftReson")->activated(0);
    EXPECT_TRUE(w.editing());
}

TEST_F(TfmModifyTest, LeavingATimeBoxNormalizesOrRefuses) {
    TfmModify w;
    struct Case {
        const char* typed;
        const char* shown;
        bool refused;
    } cases[] = {{"8:5", "08:05:00", false},
                 {" 17:30:05", "17:30:05", false},
                 {"   ", "   ", false},
                 {"25:00", "25:00", true},
                 {"8点", "8点", true}};
    for (const Case& c : cases) {
        fakes->prompter->boxes.clear();
        box(w, 0)->setText(QString::fromUtf8(c.typed));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box(w, 0), &leave);
        EXPECT_EQ(box(w, 0)->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(fakes->prompter->boxes.size(), c.refused ? 1 : 0) << c.typed;
        if (c.refused) {
            EXPECT_EQ(fakes->prompter->boxes[0].title, "提示");
            EXPECT_EQ(fakes->prompter->boxes[0].text, "输入时间错误！正确的格式为 hh:mm:ss");
        }
    }
    // Through the focus: leaving the box for the next one checks it.
    w.show();
    QApplication::setActiveWindow(&w);
    box(w, 0)->setFocus();
    box(w, 0)->setText("7:1");
    box(w, 1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box(w, 0)->text(), "07:01:00");
    box(w, 1)->setText("99");
    box(w, 2)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(box(w, 1)->hasFocus()); // back in the refused box
}

TEST_F(TfmModifyTest, ConfirmWritesNonBlankTimesCommentAndReason) {
    TfmModify w;
    QTest::keyClicks(box(w, 0), "x"); // enter the edit state
    box(w, 0)->setText("8:5");
    box(w, 1)->setText(""); // an emptied box keeps the stored time
    box(w, 2)->setText("13:01:00");
    w.findChild<QComboBox*>("CBLeftReson")->setEditText(""); // no reason: -1
    button(w, "BtnApp")->click();
    EXPECT_EQ(stored(1), QVariantList({"08:05:00", "12:00:00", "13:01:00", -1, "旧"}));
    EXPECT_FALSE(w.editing());
    EXPECT_EQ(grid(w)->currentRow(), 0);
    EXPECT_EQ(box(w, 1)->text(), "12:00:00"); // shown anew
    auto* model = grid(w)->recordModel();
    EXPECT_EQ(model->data(model->index(0, 3)).toString(), "08:05:00");
    EXPECT_TRUE(model->data(model->index(0, 3), RecordModel::MarkedRole).toBool());
    EXPECT_EQ(model->data(model->index(0, 7)).toString(), ""); // reason column

    // The second row, a reason chosen by name; an unreadable box refuses the whole write.
    grid(w)->setCurrentIndex(model->index(1, 0));
    QTest::keyClicks(box(w, 0), "x");
    w.findChild<QComboBox*>("CBLeftReson")->setCurrentIndex(2);
    button(w, "BtnApp")->click();
    EXPECT_EQ(fakes->prompter->lastText(), "输入时间错误！正确的格式为 hh:mm:ss");
    EXPECT_TRUE(w.editing());
    EXPECT_EQ(stored(2)[3], QVariant());
    box(w, 0)->setText("09:30");
    w.findChild<QLineEdit*>("EdtComment")->setText("O'Neil");
    button(w, "BtnApp")->click();
    EXPECT_EQ(stored(2), QVariantList({"09:30:00", QVariant(), QVariant(), 3, "O'Neil"}));
    EXPECT_EQ(grid(w)->currentRow(), 1);
    EXPECT_EQ(model->data(model->index(1, 7)).toString(), "出差");
}

TEST_F(TfmModifyTest, DeleteAsksAndRemovesEveryRowOfTheDay) {
    ExecSql("insert into WorkList (DDate, Name) values ('2024-03-01', '张三')");
    TfmModify w;
    fakes->prompter->answers = {false};
    button(w, "BtnDelete")->click();
    EXPECT_EQ(fakes->prompter->lastText(), "将要删除[ 2024-03-01张三 ] 员工数据？");
    EXPECT_EQ(countRows("select count(*) from WorkList"), 4);
    button(w, "BtnDelete")->click(); // answered Yes
    EXPECT_EQ(countRows("select count(*) from WorkList where DDate = '2024-03-01' and Name = '张三'"), 0);
    EXPECT_EQ(countRows("select count(*) from WorkList"), 2);
    EXPECT_EQ(grid(w)->recordModel()->rowCount(), 2);
    EXPECT_EQ(box(w, 0)->text(), "09:00:00"); // the first row now is 李四's
}
