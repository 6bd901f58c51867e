#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/maintenance/rtf.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfminform.h"
#include "gui/shell/tfmmain.h"
#include "support/gui/findchild.h"
#include "support/gui/guifakes.h"
#include "support/tempdata.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace kq;

namespace {

class InformWindowTest : public test::DataFolderTest {
protected:
    template <typename T = QPushButton> T* get(const char* name) {
        T* w = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { get(name)->click(); }
    QTextEdit* editor() { return get<QTextEdit>("DBRichEdit1"); }
    // The enabled buttons, in their order along the bottom.
    QStringList enabledButtons() {
        QStringList out;
        for (const char* name :
             {"BitBtnAdd", "BitBtnModi", "BitBtnDel", "BitBtnPost", "BitBtnCancel", "BtnClose"})
            if (get(name)->isEnabled()) out << name;
        return out;
    }
    bool editing() {
        return editor()->isEnabled() && !editor()->isReadOnly() && !get<QTableView>("DBGrid1")->isEnabled();
    }
    void addNotice(const QString& date, const QString& text) {
        ExecSql("insert into Inform (WDate, Inform) values (?, ?)", {date, WriteRtf(PlainDocument(text))});
    }
    QStringList stored() {
        QStringList out;
        QSqlQuery q = ExecSql("select WDate, Inform from Inform order by rowid");
        while (q.next())
            out << q.value(0).toString() + "=" + PlainText(ReadRtf(q.value(1).toString()));
        return out;
    }

    TfmInform window;
};

} // namespace

TEST_F(InformWindowTest, EmptyTableAddAndCancel) {
    window.show();
    EXPECT_EQ(window.windowTitle(), "编辑公告");
    EXPECT_EQ(enabledButtons(), QStringList({"BitBtnAdd", "BtnClose"}));
    EXPECT_FALSE(editing());
    EXPECT_TRUE(editor()->isReadOnly());

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    click("BitBtnAdd");
    EXPECT_EQ(get<QLineEdit>("DBEdit1")->text(), "2024-03-07");
    EXPECT_EQ(enabledButtons(), QStringList({"BitBtnPost", "BitBtnCancel", "BtnClose"}));
    EXPECT_TRUE(editing());
    EXPECT_EQ(QApplication::focusWidget(), editor());

    QTest::keyClicks(editor(), "draft");
    QTest::keyClick(&window, Qt::Key_Escape); // the cancel button's key
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(enabledButtons(), QStringList({"BitBtnAdd", "BtnClose"}));
    EXPECT_EQ(editor()->toPlainText(), "");
}

TEST_F(InformWindowTest, PostShowsTheNoticeAndDeleteAsksFirst) {
    window.show();
    click("BitBtnAdd");
    editor()->insertPlainText("明天停电");
    click("BitBtnPost");
    EXPECT_EQ(stored(), QStringList({"2024-03-07=明天停电"}));
    EXPECT_EQ(enabledButtons(), QStringList({"BitBtnAdd", "BitBtnModi", "BitBtnDel", "BtnClose"}));
    EXPECT_EQ(get<QTableView>("DBGrid1")->model()->rowCount(), 1);
    EXPECT_EQ(get<QTableView>("DBGrid1")->model()->headerData(0, Qt::Horizontal).toString(), "公告日期");

    fakes->prompter->answers = {false};
    click("BitBtnDel");
    ASSERT_EQ(fakes->prompter->boxes.size(), 1);
    EXPECT_EQ(fakes->prompter->boxes[0].kind, "ask");
    EXPECT_EQ(fakes->prompter->boxes[0].title, "系统提示");
    EXPECT_EQ(fakes->prompter->boxes[0].text, "是否真的要删除2024-03-07公告？");
    EXPECT_EQ(stored().size(), 1);
    click("BitBtnDel"); // Yes
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(enabledButtons(), QStringList({"BitBtnAdd", "BtnClose"}));
    EXPECT_EQ(fakes->prompter->boxes.size(), 2);
}

TEST_F(InformWindowTest, PostAndDeleteFailuresAreReported) {
    addNotice("2024-03-01", "旧公告");
    window.show();
    click("BitBtnModi");
    get<QLineEdit>("DBEdit1")->setText("2024-02-30");
    click("BitBtnPost");
    EXPECT_EQ(fakes->prompter->lastText(), "保存数据出错!");
    EXPECT_TRUE(editing()); // the row keeps its editing state
    click("BitBtnCancel");

    CloseKQDataBase();
    click("BitBtnDel");
    EXPECT_EQ(fakes->prompter->lastText(), "删除数据出错!");
    OpenKQDataBase(DataFolder());
    EXPECT_EQ(stored(), QStringList({"2024-03-01=旧公告"}));
}

TEST_F(InformWindowTest, ClosingPostsThePendingEdit) {
    addNotice("2024-03-01", "旧公告");
    window.show();
    click("BitBtnModi");
    editor()->selectAll();
    editor()->insertPlainText("新公告");
    click("BtnClose");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(stored(), QStringList({"2024-03-01=新公告"}));

    // Shown again, the table is read anew; a failing post keeps the window open.
    window.show();
    EXPECT_EQ(editor()->toPlainText(), "新公告");
    click("BitBtnAdd");
    get<QLineEdit>("DBEdit1")->setText("");
    click("BtnClose");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(fakes->prompter->boxes.value(0).kind, "error");
    EXPECT_TRUE(editing());
    click("BitBtnCancel");
    click("BtnClose");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(InformWindowTest, EditingStartsInTheDateBoxOrTheGrid) {
    addNotice("2024-03-01", "第一条");
    addNotice("2024-03-02", "第二条");
    window.show();
    auto* grid = get<QTableView>("DBGrid1");
    grid->setCurrentIndex(grid->model()->index(1, 0));
    EXPECT_EQ(editor()->toPlainText(), "第二条");
    EXPECT_EQ(get<QLineEdit>("DBEdit1")->text(), "2024-03-02");

    auto* date = get<QLineEdit>("DBEdit1");
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, "2024-3-9");
    EXPECT_EQ(date->text(), "2024-3-9");
    EXPECT_TRUE(editing());
    click("BitBtnPost");
    EXPECT_EQ(stored(), QStringList({"2024-03-01=第一条", "2024-03-09=第二条"}));

    EXPECT_TRUE(grid->model()->setData(grid->model()->index(0, 0), "2024-04-01"));
    EXPECT_TRUE(editing());
    EXPECT_EQ(date->text(), "2024-04-01");
    EXPECT_EQ(editor()->toPlainText(), "第一条");
    click("BitBtnPost");
    EXPECT_EQ(stored(), QStringList({"2024-04-01=第一条", "2024-03-09=第二条"}));
}

TEST_F(InformWindowTest, FontGoesToTheSelectionOrToTextTypedNext) {
    window.show();
    click("BitBtnAdd");
    QTextEdit* e = editor();
    e->insertPlainText("old");
    QFont chosen("Arial");
    chosen.setPointSize(20);
    chosen.setBold(true);
    test::guiFakes().files->font = chosen;
    test::guiFakes().files->color = QColor(Qt::blue);
    test::Click(&window, "PMIFont");
    QTest::keyClicks(e, "new");
    const QTextBlock b = e->document()->firstBlock();
    auto it = b.begin();
    EXPECT_EQ(it.fragment().text(), "old");
    EXPECT_NE(it.fragment().charFormat().fontWeight(), QFont::Bold);
    ++it;
    EXPECT_EQ(it.fragment().text(), "new");
    EXPECT_EQ(it.fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(it.fragment().charFormat().fontPointSize(), 20);
    EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(Qt::blue));

    // A cancelled colour keeps the colours; a cancelled font changes nothing.
    test::Click(&window, "PMISelAll");
    test::guiFakes().files->color.reset();
    chosen.setItalic(true);
    test::guiFakes().files->font = chosen;
    test::Click(&window, "PMIFont");
    test::guiFakes().files->font.reset();
    test::Click(&window, "PMIFont");
    it = b.begin();
    EXPECT_TRUE(it.fragment().charFormat().fontItalic());
    EXPECT_EQ(it.fragment().charFormat().foreground().style(), Qt::NoBrush);
    ++it;
    EXPECT_TRUE(it.fragment().charFormat().fontItalic());
    EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(Qt::blue));

    // The three alignments act on the paragraphs of the selection.
    e->moveCursor(QTextCursor::End);
    e->insertPlainText("\nsecond\nthird");
    e->moveCursor(QTextCursor::Start);
    e->moveCursor(QTextCursor::Down, QTextCursor::KeepAnchor);
    const auto align = [&](int block) {
        return e->document()->findBlockByNumber(block).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    };
    test::Click(&window, "N2");
    EXPECT_EQ(align(0), Qt::AlignHCenter);
    EXPECT_EQ(align(1), Qt::AlignHCenter);
    EXPECT_EQ(align(2), Qt::AlignLeft);
    test::Click(&window, "N5");
    EXPECT_EQ(align(1), Qt::AlignRight);
    test::Click(&window, "N3");
    EXPECT_EQ(align(0), Qt::AlignLeft);
    test::Click(&window, "N5");
    click("BitBtnPost");
    EXPECT_EQ(stored(), QStringList({"2024-03-07=oldnew\nsecond\nthird"}));
    QSqlQuery q = ExecSql("select Inform from Inform");
    ASSERT_TRUE(q.next());
    const RtfDocument d = ReadRtf(q.value(0).toString());
    EXPECT_EQ(d.paragraphs[0].align, RtfAlign::Right);
    EXPECT_EQ(d.paragraphs[0].runs.last().format.color, 0x0000FF);
    EXPECT_TRUE(d.paragraphs[0].runs.last().format.bold);
}

TEST_F(InformWindowTest, ContextMenuAndClipboard) {
    QStringList items;
    for (QAction* a : get<QMenu>("PopupMenu1")->actions())
        items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, QStringList({"全选(&A)", "-", "剪切(&D)", "复制(&C)", "粘贴(&V)", "-", "字体(&F)", "-",
                                  "居中", "左对齐", "右对齐"}));
    window.show();
    click("BitBtnAdd");
    editor()->insertPlainText("剪贴");
    test::Click(&window, "PMISelAll");
    test::Click(&window, "PMICopy");
    test::Click(&window, "PMIDel");
    EXPECT_EQ(editor()->toPlainText(), "");
    test::Click(&window, "PMIPaste");
    test::Click(&window, "PMIPaste");
    EXPECT_EQ(editor()->toPlainText(), "剪贴剪贴");
}

// The main window's own notice window: no other notice window may be alive here.
class InformMainTest : public test::DataFolderTest {};

TEST_F(InformMainTest, MainWindowOpensOneWindow) {
    TfmMain main;
    CurOperator().Rigth = "9;";
    main.SetLogonState(true);
    main.findChild<QAction*>("MIInform")->trigger();
    main.findChild<QAction*>("MIInform")->trigger();
    const QList<TfmInform*> forms = main.findChildren<TfmInform*>();
    ASSERT_EQ(forms.size(), 1);
    EXPECT_TRUE(forms[0]->isVisible());
    forms[0]->close();
    EXPECT_FALSE(forms[0]->isVisible());
    main.findChild<QAction*>("MIInform")->trigger();
    EXPECT_EQ(main.findChildren<TfmInform*>(), forms);
    EXPECT_TRUE(forms[0]->isVisible());
    EXPECT_TRUE(fakes->prompter->boxes.isEmpty());
}

TEST_F(InformMainTest, ClosingTheMainWindowPostsAPendingNotice) {
    auto* main = new TfmMain;
    CurOperator().Rigth = "9;";
    main->SetLogonState(true);
    main->show();
    main->findChild<QAction*>("MIInform")->trigger();
    auto* form = main->findChild<TfmInform*>();
    ASSERT_NE(form, nullptr);
    form->findChild<QPushButton*>("BitBtnAdd")->click();
    form->findChild<QTextEdit*>("DBRichEdit1")->insertPlainText("下班前请关窗");
    EXPECT_TRUE(main->close());
    QSqlQuery q = ExecSql("select Inform from Inform");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(PlainText(ReadRtf(q.value(0).toString())), "下班前请关窗");
    delete main;
}
