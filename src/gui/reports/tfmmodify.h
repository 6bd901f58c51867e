// Window TfmModify: "数据修改", corrects attendance records.
#pragma once

#include "core/reports/findinfo.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kq {

class RecordGrid;
class RecordModel;

// "数据修改": corrects one person's attendance rows of a period: punch times, absence reason and
// comment of the selected row, or deletes a day. Modal.
class TfmModify : public QDialog {
    Q_OBJECT
public:
    explicit TfmModify(QWidget* parent = nullptr);

    void BtnFindClick();
    void PMIFilterClick() { BtnFindClick(); }
    void BtnAppClick();
    void BtnCancelClick();
    void BtnDeleteClick();
    void BtnCloseClick();
    void PMICloseClick() { BtnCloseClick(); }
    void CBLeftResonChange();
    void EdtCommentKeyPress();
    void TimeEditKeyPress();
    // Shows the selected row in the boxes; does not enter the edit state.
    void DataSource1DataChange();
    // Checks and normalizes a time box as it loses the focus; false when its text is unreadable.
    bool TimeEditExit(QLineEdit* edit);
    void SetEditMode(bool editing);
    // Completes the person's period and shows its rows; nothing for a blank name.
    void Refresh();

    bool editing() const { return m_editing; }
    const TFindInfo& findInfo() const { return m_find; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void LayOutInputs();
    // After the query was (re)opened: select row (or the last row when fewer) and show it.
    void showRow(int row);
    bool refuseTime(QLineEdit* edit);

    RecordGrid* m_dbGrid1;
    RecordModel* m_query1;
    QGroupBox* m_groupBox1;
    QList<QLineEdit*> m_timeEdits; // MyDBEdit<n>, one per slot
    QList<QLabel*> m_timeLabels;   // MyLabel<n>
    QLabel* m_labReason;
    QLabel* m_labComment;
    QComboBox* m_cbLeftReson;
    QLineEdit* m_edtComment;
    QPushButton* m_btnDelete;
    QPushButton* m_btnFind;
    QPushButton* m_btnApp;
    QPushButton* m_btnCancel;
    QPushButton* m_btnClose;
    QAction* m_pmiFilter;
    QAction* m_pmiClose;
    TFindInfo m_find;
    bool m_editing = false;
    bool m_checking = false;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
