#include "core/data/dataset.h"
#include "gui/setup/tfmsettime.h"
#include "support/gui/findchild.h"
#include "support/tempdata.h"
#include "support/testhelpers.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace kq;

namespace {

using test::ReadBytes;

} // namespace

class SetTimeTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        writeFour();
    }
    void writeFour() {
        writeShifts({{1, "甲", "08:00:00", "12:00:00", true, false, true},
                     {2, "乙", "13:00:00", "17:00:00", false, true, false},
                     {3, "丙", "18:00:00", "20:00:00", false, false, false},
                     {4, "丁", "22:00:00", "06:00:00", false, false, true}});
    }
    template <typename T = QWidget> T* w(TfmSetTime& f, const char* name) {
        T* c = f.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QStringList row(TfmSetTime& f, int r) {
        QAbstractItemModel* m = w<QTableView>(f, "DBGrid1")->model();
        QStringList out;
        for (int c = 0; c < m->columnCount(); ++c)
            out << m->data(m->index(r, c)).toString();
        return out;
    }
    QString enabled(TfmSetTime& f) {
        QString out;
        for (const char* b : {"BitBtnAdd", "BitBtnModi", "BitBtnDel", "BitBtnPost", "BitBtnCancel"})
            out += w<QPushButton>(f, b)->isEnabled() ? '1' : '0';
        return out + (w(f, "DBGrid1")->isEnabled() ? '1' : '0');
    }
    QStringList stored() {
        DataSet ds;
        ds.open(path("ShiftTime.dat"), "SerialNo");
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.asString("SerialNo") + " " + ds.asString("ShiftName") + " " + ds.asString("BeginTime") +
                       " " + ds.asString("EndTime") + " " + (ds.asBool("CheckBegin") ? "1" : "0") +
                       (ds.asBool("CheckEnd") ? "1" : "0") + (ds.asBool("IsCalculate") ? "1" : "0");
        return out;
    }
    void fill(TfmSetTime& f, const QString& name, const QString& begin, const QString& end) {
        w<QLineEdit>(f, "DBEdit1")->setText(name);
        w<QLineEdit>(f, "SeSkinDBMaskEdit1")->setText(begin);
        w<QLineEdit>(f, "SeSkinDBMaskEdit2")->setText(end);
    }
};

TEST_F(SetTimeTest, ListColumnsFieldsAndButtonStates) {
    TfmSetTime f;
    EXPECT_EQ(f.windowTitle(), "设置班间");
    f.show();
    QAbstractItemModel* m = w<QTableView>(f, "DBGrid1")->model();
    QStringList headers;
    for (int c = 0; c < m->columnCount(); ++c)
        headers << m->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers,
              QStringList({"序号", "班时名称", "开始时间", "结束时间", "标记迟到", "标记早退", "累计时间"}));
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(row(f, 0), QStringList({"1", "甲", "08:00:00", "12:00:00", "√", "", "√"}));
    EXPECT_EQ(row(f, 1), QStringList({"2", "乙", "13:00:00", "17:00:00", "", "√", ""}));
    EXPECT_EQ(enabled(f), "111001");
    EXPECT_EQ(w<QLineEdit>(f, "DBEdit1")->text(), "甲");
    EXPECT_TRUE(w<QCheckBox>(f, "DBCheckBox1")->isChecked());
    EXPECT_FALSE(w<QCheckBox>(f, "DBCheckBox2")->isChecked());

    // The fields follow the row chosen in the grid.
    auto* grid = w<QTableView>(f, "DBGrid1");
    grid->setCurrentIndex(m->index(3, 1));
    EXPECT_EQ(f.shifts().recNo(), 3);
    EXPECT_EQ(w<QLineEdit>(f, "SeSkinDBMaskEdit1")->text(), "22:00:00");
    EXPECT_EQ(w<QLineEdit>(f, "SeSkinDBMaskEdit2")->text(), "06:00:00");
    EXPECT_TRUE(w<QCheckBox>(f, "DBCheckBox3")->isChecked());

    test::Click(&f, "BitBtnModi");
    EXPECT_EQ(enabled(f), "000110");
    test::Click(&f, "BitBtnCancel");
    EXPECT_EQ(enabled(f), "111001");

    writeShifts({});
    TfmSetTime empty;
    empty.show();
    EXPECT_EQ(enabled(empty), "100001");
}

TEST_F(SetTimeTest, AddingTakesTheNextNumberAndPostingWritesIt) {
    TfmSetTime f;
    f.show();
    test::Click(&f, "BitBtnAdd");
    EXPECT_EQ(f.shifts().state(), DataSet::State::Insert);
    EXPECT_EQ(f.shifts().asInt("SerialNo"), 5);
    EXPECT_EQ(row(f, 3), QStringList({"4", "丁", "22:00:00", "06:00:00", "", "", "√"})); // the list is intact
    EXPECT_EQ(w<QLineEdit>(f, "DBEdit1")->text(), "");
    EXPECT_FALSE(w<QCheckBox>(f, "DBCheckBox1")->isChecked());
    EXPECT_EQ(f.focusWidget(), w(f, "DBEdit1"));
    fill(f, "夜班", "22:00", "6:0");
    w<QCheckBox>(f, "DBCheckBox2")->setChecked(true);
    test::Click(&f, "BitBtnPost");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty()) << fakes->prompter->lastText().toStdString();
    EXPECT_EQ(f.shifts().state(), DataSet::State::Browse);
    EXPECT_EQ(row(f, 4), QStringList({"5", "夜班", "22:00:00", "06:00:00", "", "√", ""}));
    EXPECT_EQ(stored().last(), "5 夜班 22:00:00 06:00:00 010"); // written at once

    // Another program adds a shift while one is typed here: the window's takes the number after
    // it, and the operator is told that the list was read again.
    test::Click(&f, "BitBtnAdd");
    fill(f, "早早", "05:00", "6:0");
    DataSet other;
    other.open(path("ShiftTime.dat"));
    other.update([&] { other.appendRecord({6, "外加", "07:00:00", "08:00:00", false, false, false}); });
    test::Click(&f, "BitBtnPost");
    EXPECT_EQ(fakes->prompter->texts(),
              QStringList({"数据文件 ShiftTime.dat 已被其他程序修改，已重新读取。"}));
    EXPECT_EQ(stored().mid(4), QStringList({"5 夜班 22:00:00 06:00:00 010", "6 外加 07:00:00 08:00:00 000",
                                            "7 早早 05:00:00 06:00:00 000"}));
    EXPECT_EQ(row(f, 6).mid(0, 2), QStringList({"7", "早早"}));
    test::Click(&f, "SeSkinButton1");
    EXPECT_FALSE(f.isVisible());
}

// Grace minutes: a file written before they existed shows 0 and is not rewritten by looking;
// typing a grace starts an edit and posting stores both, which the window shows again.
TEST_F(SetTimeTest, GraceMinutesShownEditedAndStored) {
    const QByteArray before = ReadBytes(path("ShiftTime.dat"));
    TfmSetTime f;
    f.show();
    auto* late = w<QSpinBox>(f, "LateGraceEdit");
    auto* early = w<QSpinBox>(f, "EarlyGraceEdit");
    EXPECT_EQ(late->value(), 0);
    EXPECT_EQ(early->value(), 0);
    EXPECT_EQ(f.shifts().state(), DataSet::State::Browse);
    late->setValue(5);
    EXPECT_EQ(f.shifts().state(), DataSet::State::Edit);
    early->setValue(10);
    test::Click(&f, "BitBtnPost");
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty()) << fakes->prompter->lastText().toStdString();
    f.FormClose();
    EXPECT_NE(ReadBytes(path("ShiftTime.dat")), before);

    DataSet ds;
    ds.open(path("ShiftTime.dat"), "SerialNo");
    QList<int> graces;
    for (ds.first(); !ds.eof(); ds.next())
        graces << ds.asInt("LateGrace") << ds.asInt("EarlyGrace");
    EXPECT_EQ(graces, QList<int>({5, 10, 0, 0, 0, 0, 0, 0}));
    ds.close();

    TfmSetTime g;
    g.show();
    EXPECT_EQ(w<QSpinBox>(g, "LateGraceEdit")->value(), 5);
    EXPECT_EQ(w<QSpinBox>(g, "EarlyGraceEdit")->value(), 10);
    w<QTableView>(g, "DBGrid1")->setCurrentIndex(w<QTableView>(g, "DBGrid1")->model()->index(1, 1));
    EXPECT_EQ(w<QSpinBox>(g, "LateGraceEdit")->value(), 0);
    EXPECT_EQ(g.shifts().state(), DataSet::State::Browse); // loading a row starts no edit
    g.FormClose();
}

TEST_F(SetTimeTest, PostIsRefusedWithTheFirstFailingCheck) {
    QList<QVariantList> ten;
    for (int i = 1; i <= 10; ++i)
        ten.append({i, QString("班%1").arg(i), "08:00:00", "17:00:00", false, false, false});
    struct Case {
        bool adding;
        int shifts;
        const char* name;
        const char* begin;
        const char* end;
        const char* kind; // the box shown; nullptr: stored
        const char* message;
        const char* focus; // where the focus goes; it stays on DBCheckBox3 otherwise
    } cases[] = {
        {true, 10, "三个字", "", "", "message", "班时名称最好为2个字！", "DBEdit1"},
        {true, 10, "早班", "08:00:00", "17:00:00", "message", "最大可设置10个班时！", "DBCheckBox3"},
        {false, 10, "改名", "08:00:00", "17:00:00", nullptr, "", nullptr},
        {true, 4, "", "08:00:00", "17:00:00", "message", "班时名称不能为空！", "DBEdit1"},
        {true, 4, "早班", "", "", "message", "结束时间不能为空！", "SeSkinDBMaskEdit2"},
        {false, 4, "早班", "", "17:00:00", "message", "开始时间不能为空！", "SeSkinDBMaskEdit1"},
        {true, 4, "早班", "25:00", "17:00:00", "error", "开始时间“25:00”不是有效的时间", "SeSkinDBMaskEdit1"},
        {false, 4, "早班", "08:00:00", "17:61", "error", "结束时间“17:61”不是有效的时间",
         "SeSkinDBMaskEdit2"},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.name) + "/" + c.begin + "/" + c.end;
        if (c.shifts == 10)
            writeShifts(ten);
        else
            writeFour();
        fakes->prompter->boxes.clear();
        TfmSetTime f;
        f.show();
        if (c.adding)
            test::Click(&f, "BitBtnAdd");
        else
            test::Click(&f, "BitBtnModi");
        w(f, "DBCheckBox3")->setFocus();
        fill(f, c.name, c.begin, c.end);
        test::Click(&f, "BitBtnPost");
        if (!c.kind) {
            EXPECT_TRUE(fakes->prompter->boxes.isEmpty()) << label;
            EXPECT_FALSE(f.shifts().isEditing()) << label;
            f.reject();
            EXPECT_EQ(stored().size(), c.shifts + (c.adding ? 1 : 0)) << label;
            continue;
        }
        ASSERT_EQ(fakes->prompter->boxes.size(), 1) << label;
        EXPECT_TRUE(fakes->prompter->lastText().startsWith(c.message)) << label;
        EXPECT_EQ(fakes->prompter->boxes[0].kind, c.kind) << label;
        EXPECT_EQ(fakes->prompter->boxes[0].title, QString(c.kind) == "message" ? "提示" : "") << label;
        EXPECT_EQ(f.focusWidget(), w(f, c.focus)) << label;
        EXPECT_TRUE(f.shifts().isEditing()) << label; // still editing, typed values intact
        EXPECT_EQ(w<QLineEdit>(f, "DBEdit1")->text(), c.name);
        EXPECT_EQ(w<QLineEdit>(f, "SeSkinDBMaskEdit1")->text(), c.begin);
        f.reject();
        EXPECT_EQ(stored().size(), c.shifts) << label;
    }
}

TEST_F(SetTimeTest, DeletionAsksAndRenumbers) {
    TfmSetTime f;
    f.show();
    auto* grid = w<QTableView>(f, "DBGrid1");
    grid->setCurrentIndex(grid->model()->index(1, 0));
    fakes->prompter->answers = {false, true};
    test::Click(&f, "BitBtnDel");
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "ask");
    EXPECT_EQ(fakes->prompter->boxes[0].title, "提示");
    EXPECT_EQ(fakes->prompter->boxes[0].text, "将要删除[ 乙 ] 班时名称？");
    EXPECT_EQ(grid->model()->rowCount(), 4); // No keeps it
    test::Click(&f, "BitBtnDel");
    f.reject();
    EXPECT_EQ(stored(), QStringList({"1 甲 08:00:00 12:00:00 101", "2 丙 18:00:00 20:00:00 000",
                                     "3 丁 22:00:00 06:00:00 001"}));
}

TEST_F(SetTimeTest, TypingStartsAnEditThatCancelOrClosingDrops) {
    const QByteArray before = ReadBytes(path("ShiftTime.dat"));
    TfmSetTime f;
    f.show(); // showing opens the list
    auto* name = w<QLineEdit>(f, "DBEdit1");
    QTest::keyClicks(name, "X");
    EXPECT_EQ(f.shifts().state(), DataSet::State::Edit);
    EXPECT_EQ(name->text(), "甲X");
    EXPECT_EQ(enabled(f), "000110");
    QTest::keyClick(&f, Qt::Key_Escape); // the cancel button's key
    EXPECT_FALSE(f.shifts().isEditing());
    EXPECT_EQ(name->text(), "甲");
    QTest::keyClick(&f, Qt::Key_Escape); // nothing to cancel: the window stays
    EXPECT_TRUE(f.isVisible());

    QTest::mouseClick(w<QCheckBox>(f, "DBCheckBox2"), Qt::LeftButton);
    EXPECT_EQ(f.shifts().state(), DataSet::State::Edit);
    QTest::keyClicks(w<QLineEdit>(f, "SeSkinDBMaskEdit1"), "x");
    test::Click(&f, "SeSkinButton1"); // closing drops the unposted edit
    EXPECT_EQ(ReadBytes(path("ShiftTime.dat")), before);

    writeShifts({}); // on an empty list typing starts a new shift numbered 1
    TfmSetTime g;
    g.show();
    QTest::keyClicks(w<QLineEdit>(g, "DBEdit1"), "Z");
    EXPECT_EQ(g.shifts().state(), DataSet::State::Insert);
    EXPECT_EQ(g.shifts().asInt("SerialNo"), 1);
    auto* begin = w<QLineEdit>(g, "SeSkinDBMaskEdit1");
    begin->setText("7:5");
    Q_EMIT begin->editingFinished(); // leaving the field completes the time
    EXPECT_EQ(begin->text(), "07:05:00");
    w<QLineEdit>(g, "SeSkinDBMaskEdit2")->setText("11:30");
    test::Click(&g, "BitBtnPost");
    g.reject();
    EXPECT_EQ(stored(), QStringList({"1 Z 07:05:00 11:30:00 000"}));
}

TEST_F(SetTimeTest, AFileLackingAFieldIsReportedOnceAndShowsNothing) {
    FieldDef serial{"SerialNo", FieldType::Integer}, name{"ShiftName", FieldType::String, 30},
        begin{"BeginTime", FieldType::Time};
    DataSet::writeFile(path("ShiftTime.dat"), {serial, name, begin}, {{1, "甲", "08:00:00"}});
    TfmSetTime f;
    f.show();
    QTest::qWait(50);
    f.grab(); // paints the grid
    EXPECT_EQ(fakes->prompter->texts(), QStringList({"字段不存在：EndTime"}));
    EXPECT_FALSE(f.shifts().isOpen());
    EXPECT_EQ(w<QTableView>(f, "DBGrid1")->model()->rowCount(), 0);
    EXPECT_EQ(enabled(f), "000001");
    f.close();
}
