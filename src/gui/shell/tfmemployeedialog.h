#pragma once

#include "shell/employeeinfo.h"
#include "widgets/childteardown.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kq {

// Runs the employee dialog modally on info; returns what was entered with Confirmed true, or
// info with Confirmed false when the dialog was cancelled.
TEmployeeInfo ShowEmployeeDialog(const TEmployeeInfo& info, QWidget* parent = nullptr);

class TfmEmployeeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfmEmployeeDialog(const TEmployeeInfo& info, QWidget* parent = nullptr);

    // Fills the rights groups and departments and selects those of the employee.
    void FormShow();
    // "确定": keeps the entries as the result and closes, unless the work number is refused.
    void BtnOkClick();
    // The entries as the record the dialog returns.
    TEmployeeInfo EnteredInfo() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TEmployeeInfo m_info;
    QLineEdit* m_edtWorkNo;
    QLineEdit* m_edtName;
    QComboBox* m_comboBoxDept;
    QLineEdit* m_edtCardNo;
    QCheckBox* m_checkBox1;
    QLineEdit* m_edtPwd;
    QComboBox* m_comboBoxRigth;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
