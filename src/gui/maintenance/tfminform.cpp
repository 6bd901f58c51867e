#include "gui/maintenance/tfminform.h"

#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/maintenance/informtable.h"
#include "gui/maintenance/informmodel.h"
#include "gui/platform/guarded.h"
#include "gui/platform/guiservices.h"
#include "gui/widgets/richtext.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kq {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfmInform::TfmInform(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fmInform"));
    setWindowTitle(QStringLiteral("编辑公告"));
    Table1 = new InformTable(this);
    DataSource1 = new InformModel(Table1, this);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(DataSource1);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setFixedWidth(130);

    auto* label = new QLabel(QStringLiteral("日期"), this);
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setFixedWidth(110);
    label->setBuddy(DBEdit1);
    DBRichEdit1 = new QTextEdit(this);
    DBRichEdit1->setObjectName(QStringLiteral("DBRichEdit1"));
    DBRichEdit1->setAcceptRichText(true);
    BuildPopupMenu();

    BitBtnAdd = Button(this, "BitBtnAdd", QStringLiteral("增加(&A)"));
    BitBtnModi = Button(this, "BitBtnModi", QStringLiteral("修改(&M)"));
    BitBtnDel = Button(this, "BitBtnDel", QStringLiteral("删除(&D)"));
    BitBtnPost = Button(this, "BitBtnPost", QStringLiteral("确定(&O)"));
    BitBtnCancel = Button(this, "BitBtnCancel", QStringLiteral("取消(&C)"));
    BtnClose = Button(this, "BtnClose", QStringLiteral("关闭(&C)"));

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(label);
    dateRow->addWidget(DBEdit1);
    dateRow->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(dateRow);
    right->addWidget(DBRichEdit1);
    auto* top = new QHBoxLayout;
    top->addWidget(DBGrid1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BitBtnAdd, BitBtnModi, BitBtnDel, BitBtnPost, BitBtnCancel, BtnClose})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(600, 420);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    connect(BitBtnAdd, &QPushButton::clicked, this, &TfmInform::BitBtnAddClick);
    connect(BitBtnModi, &QPushButton::clicked, this, &TfmInform::BitBtnModiClick);
    connect(BitBtnDel, &QPushButton::clicked, this, &TfmInform::BitBtnDelClick);
    connect(BitBtnPost, &QPushButton::clicked, this, &TfmInform::BitBtnPostClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TfmInform::BitBtnCancelClick);
    connect(BtnClose, &QPushButton::clicked, this, &TfmInform::BtnCloseClick);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (BitBtnCancel->isEnabled()) BitBtnCancel->click();
    });
    connect(DBEdit1, &QLineEdit::textEdited, this, &TfmInform::DBEdit1Edited);
    connect(Table1, &InformTable::stateChanged, this, [this] {
        DataSource1StateChange();
        ShowRecord();
    });
    connect(Table1, &InformTable::rowsChanged, this, &TfmInform::DataSource1StateChange);
    connect(Table1, &InformTable::currentChanged, this, [this] {
        ShowRecord();
        SelectCurrentRow();
    });
    connect(Table1, &InformTable::dateChanged, this, [this] {
        if (DBEdit1->text() != Table1->date()) DBEdit1->setText(Table1->date());
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) Guarded([&] { Table1->moveTo(current.row()); });
            });
    DataSource1StateChange();
}

void TfmInform::BuildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto add = [&](const char* name, const QString& caption, void (TfmInform::*handler)()) {
        QAction* a = PopupMenu1->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
    };
    add("PMISelAll", QStringLiteral("全选(&A)"), &TfmInform::PMISelAllClick);
    PopupMenu1->addSeparator();
    add("PMIDel", QStringLiteral("剪切(&D)"), &TfmInform::PMIDelClick);
    add("PMICopy", QStringLiteral("复制(&C)"), &TfmInform::PMICopyClick);
    add("PMIPaste", QStringLiteral("粘贴(&V)"), &TfmInform::PMIPasteClick);
    PopupMenu1->addSeparator();
    add("PMIFont", QStringLiteral("字体(&F)"), &TfmInform::PMIFontClick);
    PopupMenu1->addSeparator();
    add("N2", QStringLiteral("居中"), &TfmInform::N2Click);
    add("N3", QStringLiteral("左对齐"), &TfmInform::N3Click);
    add("N5", QStringLiteral("右对齐"), &TfmInform::N5Click);
    DBRichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBRichEdit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(DBRichEdit1->viewport()->mapToGlobal(pos)); });
}

void TfmInform::FormShow() {
    if (!Table1->isOpen()) Guarded([&] { Table1->open(); });
}

void TfmInform::DataSource1StateChange() {
    const bool editing = Table1->isEditing();
    const bool hasRows = Table1->isOpen() && !Table1->isEmpty();
    BitBtnAdd->setEnabled(!editing);
    BitBtnModi->setEnabled(!editing && hasRows);
    BitBtnDel->setEnabled(!editing && hasRows);
    BitBtnPost->setEnabled(editing);
    BitBtnCancel->setEnabled(editing);
    DBGrid1->setEnabled(!editing);
    DBRichEdit1->setEnabled(editing);
    DBRichEdit1->setReadOnly(!editing);
}

void TfmInform::ShowRecord() {
    DBEdit1->setText(Table1->date());
    SetRichText(DBRichEdit1, Table1->text());
}

// Copies the controls into the edit buffer before a post.
void TfmInform::UpdateRecord() {
    Table1->setDate(DBEdit1->text());
    Table1->setText(RichTextOf(DBRichEdit1->document()));
}

void TfmInform::SelectCurrentRow() {
    if (Table1->recNo() < 0) return;
    DBGrid1->setCurrentIndex(DataSource1->index(Table1->recNo(), 0));
}

// Typing a date starts an edit of the current row, as the box is bound to the table.
void TfmInform::DBEdit1Edited(const QString& typed) {
    const int caret = DBEdit1->cursorPosition();
    if (!Guarded([&] {
            Table1->edit();
            Table1->setDate(typed);
        }))
        return;
    DBEdit1->setCursorPosition(caret);
}

void TfmInform::BitBtnAddClick() {
    if (!Guarded([&] {
            Table1->append();
            Table1->setDate(DateText(Now().date()));
        }))
        return;
    DBRichEdit1->setFocus();
}

void TfmInform::BitBtnModiClick() {
    if (!Guarded([&] { Table1->edit(); })) return;
    DBRichEdit1->setFocus();
}

void TfmInform::BitBtnDelClick() {
    if (!Table1->isOpen() || Table1->isEmpty()) return;
    if (!Prompt().ask(QStringLiteral("系统提示"),
                      QStringLiteral("是否真的要删除%1公告？").arg(Table1->date())))
        return;
    try {
        Table1->remove();
    } catch (const KqError&) {
        Prompt().message(QStringLiteral("提示"), QStringLiteral("删除数据出错!"));
    }
}

void TfmInform::BitBtnPostClick() {
    if (!Table1->isEditing()) return;
    try {
        UpdateRecord();
        Table1->post();
    } catch (const KqError&) {
        Prompt().message(QStringLiteral("提示"), QStringLiteral("保存数据出错!"));
    }
}

void TfmInform::BitBtnCancelClick() {
    Table1->cancel();
}

void TfmInform::BtnCloseClick() {
    close();
}

void TfmInform::FormClose() {
    if (Table1->isEditing()) {
        UpdateRecord();
        Table1->post();
    }
    Table1->close();
}

void TfmInform::PMISelAllClick() {
    DBRichEdit1->selectAll();
}

void TfmInform::PMIDelClick() {
    DBRichEdit1->cut();
}

void TfmInform::PMICopyClick() {
    DBRichEdit1->copy();
}

void TfmInform::PMIPasteClick() {
    DBRichEdit1->paste();
}

// Style, face, size and colour go to the selection, or, with nothing selected, to the text
// typed next.
void TfmInform::PMIFontClick() {
    const QTextCharFormat current = DBRichEdit1->currentCharFormat();
    const std::optional<QFont> font =
        GuiServices().files->chooseFont(this, current.font().resolve(DBRichEdit1->document()->defaultFont()));
    if (!font) return;
    QTextCharFormat format;
    format.setFont(*font);
    const QColor initial = current.foreground().style() == Qt::NoBrush ? DBRichEdit1->palette().text().color()
                                                                       : current.foreground().color();
    if (const std::optional<QColor> color = GuiServices().files->chooseColor(this, initial))
        format.setForeground(*color);
    DBRichEdit1->mergeCurrentCharFormat(format);
}

void TfmInform::N2Click() {
    DBRichEdit1->setAlignment(Qt::AlignHCenter);
}

void TfmInform::N3Click() {
    DBRichEdit1->setAlignment(Qt::AlignLeft);
}

void TfmInform::N5Click() {
    DBRichEdit1->setAlignment(Qt::AlignRight);
}

void TfmInform::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TfmInform::closeEvent(QCloseEvent* event) {
    // A post that fails here reaches the general error display and keeps the window open.
    if (!Guarded([&] { FormClose(); })) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace kq
