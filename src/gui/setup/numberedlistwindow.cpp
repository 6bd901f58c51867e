#include "gui/setup/numberedlistwindow.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/setup/numberedlist.h"
#include "gui/platform/guarded.h"
#include "gui/setup/numberedlistmodel.h"
#include "gui/setup/tfminputdialog.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/datasetchange.h"
#include "gui/widgets/tablefit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kq {

NumberedListWindow::NumberedListWindow(NumberedListTexts texts, QWidget* parent)
    : QDialog(parent), m_texts(std::move(texts)) {
    setWindowTitle(m_texts.caption);

    m_dbGrid1 = new QTableView(this);
    m_dbGrid1->setObjectName(QStringLiteral("DBGrid1"));
    m_dbGrid1->setModel(new NumberedListModel(&m_clientDataSet1, m_texts.numberField, m_texts.nameField,
                                              m_texts.nameTitle, this));
    m_dbGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbGrid1->setShowGrid(false);
    m_dbGrid1->horizontalHeader()->setStretchLastSection(true);
    m_dbGrid1->verticalHeader()->setDefaultSectionSize(20);
    // The name column shows the longest name the field holds.
    m_dbGrid1->setColumnWidth(1, CellWidthForBytes(m_dbGrid1, m_texts.nameWidth));
    FollowCurrentRow(m_dbGrid1, &m_clientDataSet1);
    ShowAllColumns(m_dbGrid1);

    auto* buttons = new QVBoxLayout;
    const auto add = [&](const char* name, const QString& caption, void (NumberedListWindow::*handler)()) {
        auto* button = NamedButton(this, name, caption);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    };
    add("BitBtnAdd", QStringLiteral("增加(&A)"), &NumberedListWindow::BitBtnAddClick);
    add("BitBtnModi", QStringLiteral("修改(&M)"), &NumberedListWindow::BitBtnModiClick);
    add("BitBtnDel", QStringLiteral("删除(&D)"), &NumberedListWindow::BitBtnDelClick);
    buttons->addStretch();
    add("SeSkinButton1", QStringLiteral("关闭(&C)"), &NumberedListWindow::SeSkinButton1Click);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_dbGrid1, 1);
    layout->addLayout(buttons);
    FitOnScreen(this, QSize(320, 260));
}

void NumberedListWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void NumberedListWindow::FormShow() {
    // A window shown again first writes what an earlier failure left unwritten.
    if (!CloseDataSet(m_clientDataSet1)) return;
    Guarded([&] { m_clientDataSet1.open(DataFile(m_texts.fileName), m_texts.numberField); });
}

void NumberedListWindow::done(int result) {
    if (!CloseDataSet(m_clientDataSet1)) return;
    QDialog::done(result);
}

void NumberedListWindow::LocateChosen(const QVariantList& stored, const QString& name) {
    if (!m_clientDataSet1.locateRow(stored))
        throw ChangedElsewhere(QStringLiteral("“%1”已被其他程序修改或删除，请重新选择。").arg(name));
}

void NumberedListWindow::BitBtnAddClick() {
    if (!m_clientDataSet1.isOpen()) return;
    const std::optional<QString> name =
        InputName(m_texts.addCaption, m_texts.addLabel, QString(), m_texts.nameWidth, this);
    if (!name) return;
    ApplyChange(m_clientDataSet1,
                [&] { AppendNumbered(m_clientDataSet1, m_texts.numberField, m_texts.nameField, *name); });
}

void NumberedListWindow::BitBtnModiClick() {
    if (!m_clientDataSet1.isOpen() || m_clientDataSet1.isEmpty()) return;
    QString current;
    if (!Guarded([&] { current = m_clientDataSet1.asString(m_texts.nameField); })) return;
    const QVariantList stored = m_clientDataSet1.currentRow();
    const std::optional<QString> name =
        InputName(m_texts.modiCaption, m_texts.modiLabel, current, m_texts.nameWidth, this);
    if (!name) return;
    ApplyChange(m_clientDataSet1, [&] {
        LocateChosen(stored, current);
        m_clientDataSet1.edit();
        m_clientDataSet1.setValue(m_texts.nameField, *name);
        m_clientDataSet1.post();
    });
}

void NumberedListWindow::BitBtnDelClick() {
    if (!m_clientDataSet1.isOpen() || m_clientDataSet1.isEmpty()) return;
    QString current;
    if (!Guarded([&] { current = m_clientDataSet1.asString(m_texts.nameField); })) return;
    const QVariantList stored = m_clientDataSet1.currentRow();
    const QString question = QStringLiteral("将要删除[ %1 ] %2？").arg(current, m_texts.kind);
    if (!Prompt().ask(QStringLiteral("提示"), question)) return;
    ApplyChange(m_clientDataSet1, [&] {
        LocateChosen(stored, current);
        RemoveNumbered(m_clientDataSet1, m_texts.numberField);
    });
}

void NumberedListWindow::SeSkinButton1Click() {
    close();
}

} // namespace kq
