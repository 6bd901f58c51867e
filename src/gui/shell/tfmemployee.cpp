#include "shell/tfmemployee.h"

#include "data/datafolder.h"
#include "data/kqerror.h"
#include "platform/guarded.h"
#include "setup/tfmsetdepartment.h"
#include "shell/employeemodel.h"
#include "shell/rights.h"
#include "shell/tfmemployeedialog.h"
#include "shell/tfmsetrigth.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kq {

namespace {

QPushButton* NewButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QAction* NewAction(const char* name, const QString& caption, QWidget* owner) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    owner->addAction(action);
    return action;
}

} // namespace

TfmEmployee::TfmEmployee(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmEmployee"));
    setWindowTitle(QStringLiteral("人员设置"));
    resize(550, 256);

    m_model = new EmployeeModel(&m_clientDataSet1, &m_groups, &m_departments, this);
    m_dbGrid1 = new QTableView(this);
    m_dbGrid1->setObjectName(QStringLiteral("DBGrid1"));
    m_dbGrid1->setModel(m_model);
    m_dbGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbGrid1->verticalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < EmployeeModel::ColumnCount; ++c)
        m_dbGrid1->setColumnWidth(c, EmployeeModel::columnWidth(c));
    FollowCurrentRow(m_dbGrid1, &m_clientDataSet1);
    connect(m_dbGrid1, &QTableView::doubleClicked, this, &TfmEmployee::BitBtnModiClick);

    m_dbGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(NewAction("PMIAdd", QStringLiteral("增加员工"), m_dbGrid1), &QAction::triggered, this,
            &TfmEmployee::BitBtnAddClick);
    connect(NewAction("PMIDel", QStringLiteral("删除员工"), m_dbGrid1), &QAction::triggered, this,
            &TfmEmployee::BitBtnDelClick);
    NewAction("PMISeparator", QString(), m_dbGrid1)->setSeparator(true);
    connect(NewAction("PMIModi", QStringLiteral("修改资料"), m_dbGrid1), &QAction::triggered, this,
            &TfmEmployee::BitBtnModiClick);

    auto* buttons = new QHBoxLayout;
    const auto add = [&](const char* name, const QString& caption, void (TfmEmployee::*handler)()) {
        QPushButton* button = NewButton(name, caption, this);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    };
    add("BitBtnAdd", QStringLiteral("增加(&A)"), &TfmEmployee::BitBtnAddClick);
    add("BitBtnDel", QStringLiteral("删除(&D)"), &TfmEmployee::BitBtnDelClick);
    add("BitBtnModi", QStringLiteral("修改(&M)"), &TfmEmployee::BitBtnModiClick);
    add("BtnSetRight", QStringLiteral("权限设置"), &TfmEmployee::BtnSetRightClick);
    add("BitBtnDept", QStringLiteral("部门设置"), &TfmEmployee::BitBtnDeptClick);
    buttons->addStretch();
    add("BtnClose", QStringLiteral("关闭(&C)"), &TfmEmployee::BtnCloseClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dbGrid1, 1);
    layout->addLayout(buttons);
}

void TfmEmployee::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfmEmployee::FormShow() {
    Guarded([&] {
        m_groups = RightsGroupNames();
        m_departments = DepartmentNames();
        m_clientDataSet1.open(DataFile(QStringLiteral("Employee.dat")), QStringLiteral("Dept"));
    });
}

void TfmEmployee::EditThroughDialog(TEmployeeInfo info, void (DataSet::*prepare)()) {
    const TEmployeeInfo entered = ShowEmployeeDialog(info, this);
    if (!entered.Confirmed) return;
    try {
        (m_clientDataSet1.*prepare)();
        StoreEmployee(m_clientDataSet1, entered);
    } catch (const KqError&) {
        m_clientDataSet1.cancel(); // no half-filled row is left to be posted later
        throw;
    }
}

void TfmEmployee::BitBtnAddClick() {
    if (!m_clientDataSet1.isOpen()) return;
    TEmployeeInfo info;
    info.Caption = QStringLiteral("增加员工");
    info.Rigth = 4;
    Guarded([&] { EditThroughDialog(info, &DataSet::append); });
}

void TfmEmployee::BitBtnModiClick() {
    if (!m_clientDataSet1.isOpen()) return;
    Guarded([&] {
        TEmployeeInfo info = EmployeeAt(m_clientDataSet1, m_clientDataSet1.recNo());
        info.Caption = QStringLiteral("修改员工信息");
        // On an empty list edit() prepares a new row, so a confirmed change adds the employee.
        EditThroughDialog(info, &DataSet::edit);
    });
}

void TfmEmployee::BitBtnDelClick() {
    if (!m_clientDataSet1.isOpen() || m_clientDataSet1.isEmpty()) return;
    Guarded([&] {
        const QString name = m_clientDataSet1.asString(QStringLiteral("SName"));
        if (Prompt().ask(QStringLiteral("提示"), QStringLiteral("将要删除[ %1 ] 员工？").arg(name)))
            m_clientDataSet1.remove();
    });
}

void TfmEmployee::BtnSetRightClick() {
    int group = 0;
    if (m_clientDataSet1.isOpen())
        Guarded([&] { group = EmployeeAt(m_clientDataSet1, m_clientDataSet1.recNo()).Rigth; });
    ShowRightsEditor(group >= 1 && group <= m_groups.size() ? group - 1 : -1, this);
}

void TfmEmployee::BitBtnDeptClick() {
    EditDepartments(this);
}

void TfmEmployee::BtnCloseClick() {
    close();
}

void TfmEmployee::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TfmEmployee::FormClose() {
    m_groups.clear();
    m_departments.clear();
    // The changes made while the register was open reach Employee.dat now.
    Guarded([&] { m_clientDataSet1.close(); });
}

} // namespace kq
