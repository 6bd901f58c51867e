#pragma once

#include "core/shell/employeeinfo.h"
#include "gui/widgets/datasetmodel.h"

#include <QStringList>
#include <optional>

namespace kq {

// The employee register's grid: stored and calculated columns of Employee.dat. A name or card
// number another employee also holds is marked red, its tip naming that employee.
class EmployeeModel : public DataSetModel {
    Q_OBJECT
public:
    enum Column { IDNo, SName, cDept, CardNo, cIsOperator, cPwd, cRigth, ColumnCount };

    // groups and departments name the numbers of Rigth and Dept; they outlive the model.
    EmployeeModel(DataSet* ds, const QStringList* groups, const QStringList* departments,
                  QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static int columnWidth(int column);

    // The duplicates of the rows as they are now.
    const EmployeeDuplicates& duplicates() const;

private:
    QVariant duplicateMark(const QModelIndex& index, int role) const;

    mutable std::optional<EmployeeDuplicates> m_duplicates; // dropped on every change
    const QStringList* m_groups;
    const QStringList* m_departments;
};

} // namespace kq
