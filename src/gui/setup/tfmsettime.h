// Window TfmSetTime: "设置班间", the shift schedule (menu 班时设置).
#pragma once

#include "core/data/dataset.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace kq {

class ShiftTableModel;

// The shift schedule: the list of ShiftTime.dat with fields bound to the current shift. The list
// is held open while the window is shown; each posted change and deletion is written at once,
// made on the file's current content (ApplyChange).
class TfmSetTime : public QDialog {
    Q_OBJECT
public:
    explicit TfmSetTime(QWidget* parent = nullptr);
    ~TfmSetTime() override;

    bool FormClose(); // whether the window may close

    DataSet& shifts() { return m_shifts; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void FormShow();
    void DataSource1DataChange();
    void BitBtnAddClick();
    void BitBtnModiClick();
    void BitBtnDelClick();
    void BitBtnPostClick();
    void BitBtnCancelClick();
    void SeSkinButton1Click();
    void LoadFields();
    void BeginEdit();
    void GridRowChanged(int row);
    void CompleteTime(QLineEdit* edit);
    bool ReadTime(QLineEdit* edit, const QString& caption, QTime* time);
    // Positions on the shift that held stored when the operator chose it; throws when another
    // program changed or deleted it meanwhile.
    void LocateChosen(const QVariantList& stored, const QString& name);

    DataSet m_shifts;
    bool m_keepFields = false; // set while typing starts an edit
    ShiftTableModel* m_model = nullptr;
    QTableView* m_dbGrid1 = nullptr;
    QLineEdit* m_dbEdit1 = nullptr;
    QLineEdit* m_seSkinDBMaskEdit1 = nullptr;
    QLineEdit* m_seSkinDBMaskEdit2 = nullptr;
    QCheckBox* m_dbCheckBox1 = nullptr;
    QCheckBox* m_dbCheckBox2 = nullptr;
    QCheckBox* m_dbCheckBox3 = nullptr;
    QSpinBox* m_lateGraceEdit = nullptr;  // minutes
    QSpinBox* m_earlyGraceEdit = nullptr; // minutes
    QPushButton* m_bitBtnAdd = nullptr;
    QPushButton* m_bitBtnModi = nullptr;
    QPushButton* m_bitBtnDel = nullptr;
    QPushButton* m_bitBtnPost = nullptr;
    QPushButton* m_bitBtnCancel = nullptr;
    QPushButton* m_seSkinButton1 = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
