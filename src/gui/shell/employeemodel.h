#pragma once

#include "widgets/datasetmodel.h"

#include <QStringList>

namespace kq {

// The employee register's grid: stored and calculated columns of Employee.dat.
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

private:
    const QStringList* m_groups;
    const QStringList* m_departments;
};

} // namespace kq
