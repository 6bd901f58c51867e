// Window TfmSysTimeSet: "系统设置", the settings, the clock and the date/time switch.
#pragma once

#include "core/data/syssetup.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QTimer;

namespace kq {

// The system settings: the settings row of SysSetup.Dat, the computer's date and time, and the
// switch of the Windows date/time setting.
class TfmSysTimeSet : public QDialog {
    Q_OBJECT
public:
    explicit TfmSysTimeSet(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Timer1Timer();
    void TPTimeChange();
    void DPDateChange();
    void CheckBox2Click();
    void DBCheckBox1Click();
    void DBEdit1Change();
    void BtnApplyClick();
    void BtnCloseClick();
    void FormCreate();
    void EnableApply();
    void LoadSettings(); // the stored settings into the boxes and m_read

    // The settings as last read: Apply stores only what was changed since, so it never
    // overwrites a value another program changed meanwhile.
    SysSetupInfo m_read;
    // Whether the setting is switched off on the system: read at opening and kept in step with
    // each switch Apply makes, so that applying twice never switches back by accident.
    bool m_switchedOff = false;
    // The date or the time was edited since the clock was last set.
    bool m_clockEdited = false;

    QLineEdit* m_dbEdit1 = nullptr;
    QCheckBox* m_dbCheckBox1 = nullptr;
    QCheckBox* m_dbCheckBox2 = nullptr;
    QSpinBox* m_doubleSwipeEdit = nullptr; // seconds, 0: off
    QDateEdit* m_dpDate = nullptr;
    QTimeEdit* m_tpTime = nullptr;
    QCheckBox* m_checkBox2 = nullptr;
    QPushButton* m_btnApply = nullptr;
    QPushButton* m_btnClose = nullptr;
    QTimer* m_timer1 = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
