#include "gui/shell/tfmemployee.h"
#include "core/data/schema.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/shell/rights.h"
#include "gui/platform/guarded.h"
#include "gui/setup/tfmsetdepartment.h"
#include "gui/shell/employeemodel.h"
#include "gui/shell/tfmemployeedialog.h"
#include "gui/shell/tfmsetrigth.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/datasetchange.h"
#include "gui/widgets/tablefit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kq {

namespace {

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
    ShowAllColumns(m_dbGrid1);
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
        QPushButton* button = NamedButton(this, name, caption);
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

    m_duplicates = new QLabel(this);
    m_duplicates->setObjectName(QStringLiteral("LabelDuplicates"));
    m_duplicates->setStyleSheet(QStringLiteral("color: #b00000"));
    m_duplicates->hide();
    connect(&m_clientDataSet1, &DataSet::dataChanged, this, &TfmEmployee::ShowDuplicates);
    connect(&m_clientDataSet1, &DataSet::stateChanged, this, &TfmEmployee::ShowDuplicates);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dbGrid1, 1);
    layout->addWidget(m_duplicates);
    layout->addLayout(buttons);
    FitOnScreen(this, QSize(550, 256));
}

void TfmEmployee::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TfmEmployee::FormShow() {
    Guarded([&] {
        m_groups = RightsGroupNames();
        m_departments = DepartmentNames();
        m_clientDataSet1.open(DataFile(schema::Employee::File), schema::Employee::Dept);
    });
}

void TfmEmployee::ShowDuplicates() {
    int rows = 0;
    if (m_clientDataSet1.isOpen() && !m_clientDataSet1.isEditing()) {
        const EmployeeDuplicates& d = m_model->duplicates();
        QSet<int> marked;
        for (auto it = d.names.cbegin(); it != d.names.cend(); ++it)
            marked.insert(it.key());
        for (auto it = d.cards.cbegin(); it != d.cards.cend(); ++it)
            marked.insert(it.key());
        rows = int(marked.size());
    }
    m_duplicates->setText(
        QStringLiteral("有 %1 名员工的姓名或磁卡号与他人重复（红色标出），请修改。").arg(rows));
    m_duplicates->setVisible(rows > 0);
}

int TfmEmployee::ChosenRow(const std::optional<QVariantList>& stored, const QString& name) {
    if (!stored) return -1;
    if (!m_clientDataSet1.locateRow(*stored))
        throw ChangedElsewhere(QStringLiteral("员工“%1”已被其他程序修改或删除，请重新选择。").arg(name));
    return m_clientDataSet1.recNo();
}

void TfmEmployee::StoreThroughDialog(const TEmployeeInfo& info, const std::optional<QVariantList>& stored) {
    // The dialog stays open on a refusal, checked against the file as it is now.
    const EmployeeCheck check = [&](const TEmployeeInfo& entered) {
        TellReread(m_clientDataSet1, m_clientDataSet1.refresh());
        return CheckEmployee(m_clientDataSet1, entered, ChosenRow(stored, info.SName));
    };
    const TEmployeeInfo entered = ShowEmployeeDialog(info, this, check);
    if (!entered.Confirmed) return;
    ApplyChange(m_clientDataSet1, [&] {
        const int row = ChosenRow(stored, info.SName);
        if (const auto refusal = CheckEmployee(m_clientDataSet1, entered, row))
            throw KqError(refusal->message);
        if (row < 0)
            m_clientDataSet1.append();
        else
            m_clientDataSet1.edit();
        StoreEmployee(m_clientDataSet1, entered);
    });
}

void TfmEmployee::BitBtnAddClick() {
    if (!m_clientDataSet1.isOpen()) return;
    TEmployeeInfo info;
    info.Caption = QStringLiteral("增加员工");
    info.Rigth = 4;
    StoreThroughDialog(info, std::nullopt);
}

void TfmEmployee::BitBtnModiClick() {
    if (!m_clientDataSet1.isOpen()) return;
    TEmployeeInfo info;
    if (!Guarded([&] { info = EmployeeAt(m_clientDataSet1, m_clientDataSet1.recNo()); })) return;
    info.Caption = QStringLiteral("修改员工信息");
    // On an empty list the change adds the employee.
    StoreThroughDialog(info, m_clientDataSet1.isEmpty()
                                 ? std::nullopt
                                 : std::optional<QVariantList>(m_clientDataSet1.currentRow()));
}

void TfmEmployee::BitBtnDelClick() {
    if (!m_clientDataSet1.isOpen() || m_clientDataSet1.isEmpty()) return;
    QString name;
    if (!Guarded([&] { name = m_clientDataSet1.asString(schema::Employee::SName); })) return;
    const QVariantList stored = m_clientDataSet1.currentRow();
    if (!Prompt().ask(QStringLiteral("提示"), QStringLiteral("将要删除[ %1 ] 员工？").arg(name))) return;
    ApplyChange(m_clientDataSet1, [&] {
        ChosenRow(stored, name);
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
    if (!FormClose()) return;
    QDialog::done(result);
}

bool TfmEmployee::FormClose() {
    // A change whose write failed is written now, or dropped when the operator agrees.
    if (!CloseDataSet(m_clientDataSet1)) return false;
    m_groups.clear();
    m_departments.clear();
    return true;
}

} // namespace kq
