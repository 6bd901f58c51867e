#include "gui/shell/tfmemployeedialog.h"

#include "core/data/tables.h"
#include "core/shell/rights.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/dialogbuttons.h"
#include "gui/widgets/gbkwidthvalidator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kq {

namespace {

QLineEdit* NewEdit(const char* name, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// The 1-based number of the entry chosen in box; 0 when the shown text is no entry of the list.
int ChosenNumber(const QComboBox* box) {
    const int i = box->currentIndex();
    return i >= 0 && box->itemText(i) == box->currentText() ? i + 1 : 0;
}

void SelectNumber(QComboBox* box, int number) {
    box->setCurrentIndex(number >= 1 && number <= box->count() ? number - 1 : -1);
}

} // namespace

TEmployeeInfo ShowEmployeeDialog(const TEmployeeInfo& info, QWidget* parent, EmployeeCheck check) {
    TfmEmployeeDialog form(info, parent);
    form.setCheck(std::move(check));
    if (form.exec() == QDialog::Accepted) return form.EnteredInfo();
    TEmployeeInfo cancelled = info;
    cancelled.Confirmed = false;
    return cancelled;
}

TfmEmployeeDialog::TfmEmployeeDialog(const TEmployeeInfo& info, QWidget* parent)
    : QDialog(parent), m_info(info) {
    setObjectName(QStringLiteral("fmEmployeeDialog"));
    setWindowTitle(info.Caption);
    resize(298, 283);

    m_edtWorkNo = NewEdit("EdtWorkNo", QString::number(info.IDNo), this);
    m_edtName = NewEdit("EdtName", info.SName, this);
    m_comboBoxDept = new QComboBox(this);
    m_comboBoxDept->setObjectName(QStringLiteral("ComboBoxDept"));
    m_comboBoxDept->setEditable(true);
    m_comboBoxDept->setInsertPolicy(QComboBox::NoInsert);
    m_edtCardNo = NewEdit("EdtCardNo", info.CardNo, this);
    // The card reader types the number and Enter: the Enter moves on instead of confirming.
    m_edtCardNo->installEventFilter(this);
    m_checkBox1 = new QCheckBox(QStringLiteral("电脑操作员"), this);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    m_checkBox1->setChecked(info.IsOperator);
    m_edtPwd = NewEdit("EdtPwd", info.Password, this);
    m_comboBoxRigth = new QComboBox(this);
    m_comboBoxRigth->setObjectName(QStringLiteral("ComboBoxRigth"));
    LimitToWidth(m_edtName, FieldWidth::SName);
    LimitToWidth(m_edtCardNo, FieldWidth::CardNo);
    LimitToWidth(m_edtPwd, FieldWidth::Password);

    auto* card = new QHBoxLayout;
    card->addWidget(m_edtCardNo, 1);
    card->addWidget(new QLabel(QStringLiteral("(刷卡)"), this));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("工    号："), m_edtWorkNo);
    form->addRow(QStringLiteral("员工姓名："), m_edtName);
    form->addRow(QStringLiteral("部    门："), m_comboBoxDept);
    form->addRow(QStringLiteral("磁 卡 号："), card);
    form->addRow(QString(), m_checkBox1);
    form->addRow(QStringLiteral("操作密码："), m_edtPwd);
    form->addRow(QStringLiteral("权　　限："), m_comboBoxRigth);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    const DialogButtons buttons = MakeDialogButtons(this, "BtnOk", "BtnCanncel");
    connect(buttons.ok, &QPushButton::clicked, this, &TfmEmployeeDialog::BtnOkClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(line);
    layout->addLayout(ButtonRow(buttons));
}

void TfmEmployeeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TfmEmployeeDialog::FormShow() {
    m_comboBoxRigth->clear();
    m_comboBoxDept->clear();
    // Both lists in number order, so that a position plus 1 is the number stored.
    Guarded([&] {
        m_comboBoxRigth->addItems(RightsGroupNames());
        m_comboBoxDept->addItems(DepartmentNames());
    });
    SelectNumber(m_comboBoxDept, m_info.Dept);
    SelectNumber(m_comboBoxRigth, m_info.Rigth);
    m_edtName->setFocus();
}

QLineEdit* TfmEmployeeDialog::Box(EmployeeField field) const {
    switch (field) {
    case EmployeeField::WorkNo:
        return m_edtWorkNo;
    case EmployeeField::Name:
        return m_edtName;
    case EmployeeField::CardNo:
        return m_edtCardNo;
    case EmployeeField::Password:
        return m_edtPwd;
    }
    return m_edtName;
}

void TfmEmployeeDialog::BtnOkClick() {
    std::optional<EmployeeRefusal> refusal;
    if (!ParseWorkNo(m_edtWorkNo->text()))
        refusal = EmployeeRefusal{EmployeeField::WorkNo, QStringLiteral("工号必须是整数！")};
    else if (m_check && !Guarded([&] { refusal = m_check(EnteredInfo()); }))
        return;
    if (refusal) {
        Prompt().message(QStringLiteral("提示"), refusal->message);
        QLineEdit* box = Box(refusal->field);
        box->setFocus();
        box->selectAll();
        return;
    }
    accept();
}

TEmployeeInfo TfmEmployeeDialog::EnteredInfo() const {
    TEmployeeInfo r = m_info;
    r.IDNo = ParseWorkNo(m_edtWorkNo->text()).value_or(0);
    r.SName = m_edtName->text();
    r.CardNo = m_edtCardNo->text();
    r.Password = m_edtPwd->text();
    r.Dept = ChosenNumber(m_comboBoxDept);
    r.IsOperator = m_checkBox1->isChecked();
    r.Rigth = ChosenNumber(m_comboBoxRigth);
    r.RigthName = m_comboBoxRigth->currentText();
    r.Confirmed = true;
    return r;
}

bool TfmEmployeeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edtCardNo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kq
