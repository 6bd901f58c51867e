// Window TfmEmployeeDialog: the dialog that adds or changes one employee.
#pragma once

#include "core/shell/employeeinfo.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kq {

// Why what was entered cannot be stored (nothing when it can); it may throw KqError.
using EmployeeCheck = std::function<std::optional<EmployeeRefusal>(const TEmployeeInfo&)>;

// Runs the employee dialog modally on info; returns what was entered with Confirmed true, or
// info with Confirmed false when the dialog was cancelled. "确定" keeps the dialog open while
// check refuses the entries.
TEmployeeInfo ShowEmployeeDialog(const TEmployeeInfo& info, QWidget* parent = nullptr,
                                 EmployeeCheck check = {});

class TfmEmployeeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfmEmployeeDialog(const TEmployeeInfo& info, QWidget* parent = nullptr);

    // Fills the rights groups and departments and selects those of the employee.
    void FormShow();
    // "确定": keeps the entries as the result and closes, unless the work number is no whole
    // number or the check refuses them; the refused box gets the focus.
    void BtnOkClick();
    void setCheck(EmployeeCheck check) { m_check = std::move(check); }
    // The entries as the record the dialog returns.
    TEmployeeInfo EnteredInfo() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* Box(EmployeeField field) const;

    TEmployeeInfo m_info;
    EmployeeCheck m_check;
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
