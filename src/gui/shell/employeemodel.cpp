#include "gui/shell/employeemodel.h"

#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/shell/employeeinfo.h"

#include <QColor>

namespace kq {

namespace {

struct ColumnDef {
    const char* title;
    int width;
};

const ColumnDef kColumns[EmployeeModel::ColumnCount] = {
    {"工号", 50}, {"姓名", 80}, {"部门", 80}, {"磁卡号", 80}, {"电脑操作员", 75}, {"密码", 70}, {"权限", 80}};

} // namespace

EmployeeModel::EmployeeModel(DataSet* ds, const QStringList* groups, const QStringList* departments,
                             QObject* parent)
    : DataSetModel(ds, parent), m_groups(groups), m_departments(departments) {
    const auto drop = [this] { m_duplicates.reset(); };
    connect(ds, &DataSet::dataChanged, this, drop);
    connect(ds, &DataSet::stateChanged, this, drop);
}

const EmployeeDuplicates& EmployeeModel::duplicates() const {
    if (!m_duplicates) {
        m_duplicates = EmployeeDuplicates();
        if (dataSet()->isOpen()) {
            try {
                m_duplicates = FindDuplicates(*dataSet());
            } catch (const KqError&) {
                // A file that lacks a field marks nothing.
            }
        }
    }
    return *m_duplicates;
}

int EmployeeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int EmployeeModel::columnWidth(int column) {
    return kColumns[column].width;
}

QVariant EmployeeModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (!index.isValid() || !dataSet()->isOpen()) return {};
    if (role == Qt::BackgroundRole || role == Qt::ToolTipRole) return duplicateMark(index, role);
    if (role != Qt::DisplayRole) return {};
    try {
        const TEmployeeInfo e = EmployeeAt(*dataSet(), index.row());
        const EmployeeCalcFields calc = CalcEmployeeFields(e, *m_groups, *m_departments);
        switch (index.column()) {
        case IDNo:
            return e.IDNo;
        case SName:
            return e.SName;
        case cDept:
            return calc.cDept;
        case CardNo:
            return e.CardNo;
        case cIsOperator:
            return calc.cIsOperator;
        case cPwd:
            return calc.cPwd;
        case cRigth:
            return calc.cRigth;
        }
    } catch (const KqError&) {
        // A file that lacks a field shows empty cells; the commands on it report the error.
    }
    return {};
}

QVariant EmployeeModel::duplicateMark(const QModelIndex& index, int role) const {
    const QHash<int, int>* rows = index.column() == SName    ? &duplicates().names
                                  : index.column() == CardNo ? &duplicates().cards
                                                             : nullptr;
    if (!rows || !rows->contains(index.row())) return {};
    if (role == Qt::BackgroundRole) return QColor(255, 200, 200);
    try {
        const TEmployeeInfo other = EmployeeAt(*dataSet(), rows->value(index.row()));
        return index.column() == SName
                   ? QStringLiteral("与员工“%1”（工号 %2）姓名重复").arg(other.SName).arg(other.IDNo)
                   : QStringLiteral("与员工“%1”（工号 %2）磁卡号重复").arg(other.SName).arg(other.IDNo);
    } catch (const KqError&) {
        return {};
    }
}

QVariant EmployeeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(kColumns[section].title);
    return DataSetModel::headerData(section, orientation, role);
}

} // namespace kq
