// Window TfmEmployee: "人员设置", the employee register.
#pragma once

#include "core/data/dataset.h"
#include "core/shell/employeeinfo.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class QLabel;
class QTableView;

namespace kq {

class EmployeeModel;

// The employee register: lists, adds, changes and deletes the employees of Employee.dat, which
// it holds open while shown. Each change is written at once, made on the file's current content
// (ApplyChange); names and card numbers another employee holds are refused, and duplicates a
// file already holds are marked in the grid.
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
    bool FormClose(); // whether the window may close
    // Runs the employee dialog on info and stores what it returns: over the row that held stored
    // when the operator chose it, or as a new employee without stored.
    void StoreThroughDialog(const TEmployeeInfo& info, const std::optional<QVariantList>& stored);
    // The visible row that held stored (-1 without stored); throws when it is gone.
    int ChosenRow(const std::optional<QVariantList>& stored, const QString& name);
    void ShowDuplicates();

    DataSet m_clientDataSet1;
    QStringList m_groups;
    QStringList m_departments;
    EmployeeModel* m_model;
    QTableView* m_dbGrid1;
    QLabel* m_duplicates;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
