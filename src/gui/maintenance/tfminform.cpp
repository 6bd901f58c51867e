#include "gui/maintenance/tfminform.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/namedwidgets.h"

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
#include <QShortcut>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kq {

TfmInform::TfmInform(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fmInform"));
    setWindowTitle(QStringLiteral("编辑公告"));
    m_table1 = new InformTable(this);
    m_dataSource1 = new InformModel(m_table1, this);

    m_dbGrid1 = new QTableView(this);
    m_dbGrid1->setObjectName(QStringLiteral("DBGrid1"));
    m_dbGrid1->setModel(m_dataSource1);
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbGrid1->verticalHeader()->hide();
    m_dbGrid1->horizontalHeader()->setStretchLastSection(true);
    m_dbGrid1->setFixedWidth(130);

    auto* label = new QLabel(QStringLiteral("日期"), this);
    m_dbEdit1 = new QLineEdit(this);
    m_dbEdit1->setObjectName(QStringLiteral("DBEdit1"));
    m_dbEdit1->setFixedWidth(110);
    label->setBuddy(m_dbEdit1);
    m_dbRichEdit1 = new QTextEdit(this);
    m_dbRichEdit1->setObjectName(QStringLiteral("DBRichEdit1"));
    m_dbRichEdit1->setAcceptRichText(true);
    BuildPopupMenu();

    m_bitBtnAdd = NamedButton(this, "BitBtnAdd", QStringLiteral("增加(&A)"));
    m_bitBtnModi = NamedButton(this, "BitBtnModi", QStringLiteral("修改(&M)"));
    m_bitBtnDel = NamedButton(this, "BitBtnDel", QStringLiteral("删除(&D)"));
    m_bitBtnPost = NamedButton(this, "BitBtnPost", QStringLiteral("确定(&O)"));
    m_bitBtnCancel = NamedButton(this, "BitBtnCancel", QStringLiteral("取消(&C)"));
    m_btnClose = NamedButton(this, "BtnClose", QStringLiteral("关闭(&C)"));

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(label);
    dateRow->addWidget(m_dbEdit1);
    dateRow->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(dateRow);
    right->addWidget(m_dbRichEdit1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_dbGrid1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {m_bitBtnAdd, m_bitBtnModi, m_bitBtnDel, m_bitBtnPost, m_bitBtnCancel, m_btnClose})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    FitOnScreen(this, QSize(600, 420));

    connect(m_bitBtnAdd, &QPushButton::clicked, this, &TfmInform::BitBtnAddClick);
    connect(m_bitBtnModi, &QPushButton::clicked, this, &TfmInform::BitBtnModiClick);
    connect(m_bitBtnDel, &QPushButton::clicked, this, &TfmInform::BitBtnDelClick);
    connect(m_bitBtnPost, &QPushButton::clicked, this, &TfmInform::BitBtnPostClick);
    connect(m_bitBtnCancel, &QPushButton::clicked, this, &TfmInform::BitBtnCancelClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfmInform::BtnCloseClick);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (m_bitBtnCancel->isEnabled()) m_bitBtnCancel->click();
    });
    connect(m_dbEdit1, &QLineEdit::textEdited, this, &TfmInform::DBEdit1Edited);
    connect(m_table1, &InformTable::stateChanged, this, [this] {
        DataSource1StateChange();
        ShowRecord();
    });
    connect(m_table1, &InformTable::rowsChanged, this, &TfmInform::DataSource1StateChange);
    connect(m_table1, &InformTable::currentChanged, this, [this] {
        ShowRecord();
        SelectCurrentRow();
    });
    connect(m_table1, &InformTable::dateChanged, this, [this] {
        if (m_dbEdit1->text() != m_table1->date()) m_dbEdit1->setText(m_table1->date());
    });
    connect(m_dbGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) Guarded([&] { m_table1->moveTo(current.row()); });
            });
    DataSource1StateChange();
}

void TfmInform::BuildPopupMenu() {
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto add = [&](const char* name, const QString& caption, void (TfmInform::*handler)()) {
        QAction* a = m_popupMenu1->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
    };
    add("PMISelAll", QStringLiteral("全选(&A)"), &TfmInform::PMISelAllClick);
    m_popupMenu1->addSeparator();
    add("PMIDel", QStringLiteral("剪切(&D)"), &TfmInform::PMIDelClick);
    add("PMICopy", QStringLiteral("复制(&C)"), &TfmInform::PMICopyClick);
    add("PMIPaste", QStringLiteral("粘贴(&V)"), &TfmInform::PMIPasteClick);
    m_popupMenu1->addSeparator();
    add("PMIFont", QStringLiteral("字体(&F)"), &TfmInform::PMIFontClick);
    m_popupMenu1->addSeparator();
    add("N2", QStringLiteral("居中"), &TfmInform::N2Click);
    add("N3", QStringLiteral("左对齐"), &TfmInform::N3Click);
    add("N5", QStringLiteral("右对齐"), &TfmInform::N5Click);
    m_dbRichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_dbRichEdit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popupMenu1->popup(m_dbRichEdit1->viewport()->mapToGlobal(pos)); });
}

void TfmInform::FormShow() {
    if (!m_table1->isOpen()) Guarded([&] { m_table1->open(); });
}

void TfmInform::DataSource1StateChange() {
    const bool editing = m_table1->isEditing();
    const bool hasRows = m_table1->isOpen() && !m_table1->isEmpty();
    m_bitBtnAdd->setEnabled(!editing);
    m_bitBtnModi->setEnabled(!editing && hasRows);
    m_bitBtnDel->setEnabled(!editing && hasRows);
    m_bitBtnPost->setEnabled(editing);
    m_bitBtnCancel->setEnabled(editing);
    m_dbGrid1->setEnabled(!editing);
    m_dbRichEdit1->setEnabled(editing);
    m_dbRichEdit1->setReadOnly(!editing);
}

void TfmInform::ShowRecord() {
    m_dbEdit1->setText(m_table1->date());
    SetRichText(m_dbRichEdit1, m_table1->text());
}

// Copies the controls into the edit buffer before a post.
void TfmInform::UpdateRecord() {
    m_table1->setDate(m_dbEdit1->text());
    m_table1->setText(RichTextOf(m_dbRichEdit1->document()));
}

void TfmInform::SelectCurrentRow() {
    if (m_table1->recNo() < 0) return;
    m_dbGrid1->setCurrentIndex(m_dataSource1->index(m_table1->recNo(), 0));
}

// Typing a date starts an edit of the current row, as the box is bound to the table.
void TfmInform::DBEdit1Edited(const QString& typed) {
    const int caret = m_dbEdit1->cursorPosition();
    if (!Guarded([&] {
            m_table1->edit();
            m_table1->setDate(typed);
        }))
        return;
    m_dbEdit1->setCursorPosition(caret);
}

void TfmInform::BitBtnAddClick() {
    if (!Guarded([&] {
            m_table1->append();
            m_table1->setDate(DateText(Now().date()));
        }))
        return;
    m_dbRichEdit1->setFocus();
}

void TfmInform::BitBtnModiClick() {
    if (!Guarded([&] { m_table1->edit(); })) return;
    m_dbRichEdit1->setFocus();
}

void TfmInform::BitBtnDelClick() {
    if (!m_table1->isOpen() || m_table1->isEmpty()) return;
    if (!Prompt().ask(QStringLiteral("系统提示"),
                      QStringLiteral("是否真的要删除%1公告？").arg(m_table1->date())))
        return;
    try {
        m_table1->remove();
    } catch (const KqError&) {
        Prompt().message(QStringLiteral("提示"), QStringLiteral("删除数据出错!"));
    }
}

void TfmInform::BitBtnPostClick() {
    if (!m_table1->isEditing()) return;
    try {
        UpdateRecord();
        m_table1->post();
    } catch (const KqError&) {
        Prompt().message(QStringLiteral("提示"), QStringLiteral("保存数据出错!"));
    }
}

void TfmInform::BitBtnCancelClick() {
    m_table1->cancel();
}

void TfmInform::BtnCloseClick() {
    close();
}

void TfmInform::FormClose() {
    if (m_table1->isEditing()) {
        UpdateRecord();
        m_table1->post();
    }
    m_table1->close();
}

void TfmInform::PMISelAllClick() {
    m_dbRichEdit1->selectAll();
}

void TfmInform::PMIDelClick() {
    m_dbRichEdit1->cut();
}

void TfmInform::PMICopyClick() {
    m_dbRichEdit1->copy();
}

void TfmInform::PMIPasteClick() {
    m_dbRichEdit1->paste();
}

// Style, face, size and colour go to the selection, or, with nothing selected, to the text
// typed next.
void TfmInform::PMIFontClick() {
    const QTextCharFormat current = m_dbRichEdit1->currentCharFormat();
    const std::optional<QFont> font = GuiServices().files->chooseFont(
        this, current.font().resolve(m_dbRichEdit1->document()->defaultFont()));
    if (!font) return;
    QTextCharFormat format;
    format.setFont(*font);
    const QColor initial = current.foreground().style() == Qt::NoBrush
                               ? m_dbRichEdit1->palette().text().color()
                               : current.foreground().color();
    if (const std::optional<QColor> color = GuiServices().files->chooseColor(this, initial))
        format.setForeground(*color);
    m_dbRichEdit1->mergeCurrentCharFormat(format);
}

void TfmInform::N2Click() {
    m_dbRichEdit1->setAlignment(Qt::AlignHCenter);
}

void TfmInform::N3Click() {
    m_dbRichEdit1->setAlignment(Qt::AlignLeft);
}

void TfmInform::N5Click() {
    m_dbRichEdit1->setAlignment(Qt::AlignRight);
}

void TfmInform::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Guarded([this] { FormShow(); });
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
