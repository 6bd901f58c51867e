#pragma once

#include "data/dataset.h"
#include "shell/employeeinfo.h"
#include "widgets/childteardown.h"

#include <QDialog>
#include <QStringList>

class QTableView;

namespace kq {

class EmployeeModel;

// The employee register: lists, adds, changes and deletes the employees of Employee.dat, which
// it holds open while shown and writes back when it closes.
class TfmEmployee : public QDialog {
    Q_OBJECT
public:
    explicit TfmEmployee(QWidget* parent = nullptr);

    void FormShow();
    void BitBtnAddClick();
    void BitBtnModiClick();
    void BitBtnDelClick();
    void BtnSetRightClick();
    void BitBtnDeptClick();
    void BtnCloseClick();

    DataSet& clientDataSet() { return m_clientDataSet1; }
    QTableView* grid() const { return m_dbGrid1; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormClose();
    // Runs the employee dialog on info and stores a confirmed result into the row of ds that
    // edit() or append() prepared.
    void EditThroughDialog(TEmployeeInfo info, void (DataSet::*prepare)());

    DataSet m_clientDataSet1;
    QStringList m_groups;
    QStringList m_departments;
    EmployeeModel* m_model;
    QTableView* m_dbGrid1;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
