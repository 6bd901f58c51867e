#include "setup/numberedlistwindow.h"

#include "data/datafolder.h"
#include "data/kqerror.h"
#include "platform/guarded.h"
#include "setup/numberedlist.h"
#include "setup/numberedlistmodel.h"
#include "setup/tfminputdialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kq {

NumberedListWindow::NumberedListWindow(NumberedListTexts texts, QWidget* parent)
    : QDialog(parent), m_texts(std::move(texts)) {
    setWindowTitle(m_texts.caption);
    resize(320, 260);

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
    FollowCurrentRow(m_dbGrid1, &m_clientDataSet1);

    auto* buttons = new QVBoxLayout;
    const auto add = [&](const char* name, const QString& caption, void (NumberedListWindow::*handler)()) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
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
}

void NumberedListWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void NumberedListWindow::FormShow() {
    Guarded([&] {
        m_clientDataSet1.close();
        m_clientDataSet1.open(DataFile(m_texts.fileName), m_texts.numberField);
    });
}

template <typename F> void NumberedListWindow::Change(F&& change) {
    Guarded([&] {
        try {
            change();
        } catch (const KqError&) {
            m_clientDataSet1.cancel(); // no half-made change is left to be posted later
            throw;
        }
        m_clientDataSet1.flush();
    });
}

void NumberedListWindow::BitBtnAddClick() {
    if (!m_clientDataSet1.isOpen()) return;
    const std::optional<QString> name = InputName(m_texts.addCaption, m_texts.addLabel, QString(), this);
    if (!name) return;
    Change([&] { AppendNumbered(m_clientDataSet1, m_texts.numberField, m_texts.nameField, *name); });
}

void NumberedListWindow::BitBtnModiClick() {
    if (!m_clientDataSet1.isOpen() || m_clientDataSet1.isEmpty()) return;
    QString current;
    if (!Guarded([&] { current = m_clientDataSet1.asString(m_texts.nameField); })) return;
    const std::optional<QString> name = InputName(m_texts.modiCaption, m_texts.modiLabel, current, this);
    if (!name) return;
    Change([&] {
        m_clientDataSet1.edit();
        m_clientDataSet1.setValue(m_texts.nameField, *name);
        m_clientDataSet1.post();
    });
}

void NumberedListWindow::BitBtnDelClick() {
    if (!m_clientDataSet1.isOpen() || m_clientDataSet1.isEmpty()) return;
    QString current;
    if (!Guarded([&] { current = m_clientDataSet1.asString(m_texts.nameField); })) return;
    const QString question = QStringLiteral("将要删除[ %1 ] %2？").arg(current, m_texts.kind);
    if (!Prompt().ask(QStringLiteral("提示"), question)) return;
    Change([&] { RemoveNumbered(m_clientDataSet1, m_texts.numberField); });
}

void NumberedListWindow::SeSkinButton1Click() {
    close();
}

} // namespace kq
