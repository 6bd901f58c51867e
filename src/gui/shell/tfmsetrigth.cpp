#include "gui/shell/tfmsetrigth.h"

#include "core/shell/rights.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/closeupcombobox.h"
#include "gui/widgets/dialogbuttons.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kq {

void ShowRightsEditor(int position, QWidget* parent) {
    TfmSetRigth form(position, parent);
    form.exec();
}

TfmSetRigth::TfmSetRigth(int position, QWidget* parent) : QDialog(parent), m_position(position) {
    setObjectName(QStringLiteral("fmSetRigth"));
    setWindowTitle(QStringLiteral("操作权限"));
    resize(280, 248);

    m_comboBox1 = new CloseUpComboBox(this);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_checkListBox1 = new QListWidget(this);
    m_checkListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    for (const QString& name : FunctionNames()) {
        auto* item = new QListWidgetItem(name, m_checkListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, 16));
    }
    connect(m_comboBox1, &CloseUpComboBox::closedUp, this, &TfmSetRigth::ComboBox1CloseUp);
    connect(m_comboBox1, &QComboBox::currentIndexChanged, this, &TfmSetRigth::ComboBox1CloseUp);

    const auto [ok, cancel] = MakeDialogButtons(this, "BitBtnOK", "BitBtnCancel");
    connect(ok, &QPushButton::clicked, this, &TfmSetRigth::BitBtnOKClick);

    auto* panel = new QVBoxLayout;
    panel->addWidget(m_comboBox1);
    panel->addWidget(m_checkListBox1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(panel, 1);
    layout->addLayout(buttons);
}

void TfmSetRigth::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TfmSetRigth::FormShow() {
    const QSignalBlocker quiet(m_comboBox1); // the checks are loaded once, below
    m_comboBox1->clear();
    Guarded([&] {
        m_comboBox1->addItems(RightsGroupNames());
        m_comboBox1->setCurrentIndex(m_position >= 0 && m_position < m_comboBox1->count() ? m_position : -1);
        LoadChecks();
    });
}

void TfmSetRigth::ComboBox1CloseUp() {
    Guarded([&] { LoadChecks(); });
}

int TfmSetRigth::selectedGroup() const {
    return m_comboBox1->currentIndex() + 1;
}

void TfmSetRigth::LoadChecks() {
    for (int i = 0; i < m_checkListBox1->count(); ++i)
        m_checkListBox1->item(i)->setCheckState(Qt::Unchecked);
    m_loaded = GroupFunctions(selectedGroup());
    for (int i = 0; i < m_checkListBox1->count(); ++i)
        if (m_loaded.contains(i)) m_checkListBox1->item(i)->setCheckState(Qt::Checked);
}

QList<int> TfmSetRigth::checkedFunctions() const {
    QList<int> functions;
    for (int i = 0; i < m_checkListBox1->count(); ++i)
        if (m_checkListBox1->item(i)->checkState() == Qt::Checked) functions << i;
    return functions;
}

void TfmSetRigth::Save() {
    SetGroupFunctions(selectedGroup(), checkedFunctions(), m_loaded);
}

void TfmSetRigth::BitBtnOKClick() {
    try {
        Save();
        accept();
    } catch (const ChangedElsewhere& e) {
        Prompt().error(e.message());
        Guarded([&] { LoadChecks(); });
    } catch (const KqError& e) {
        Prompt().error(e.message());
    }
}

} // namespace kq
