// Window TfmInform: "编辑公告", the notice editor.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QWidget>

class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTextEdit;

namespace kq {

class InformModel;
class InformTable;

// The notice editor "编辑公告": the grid of notice dates, the date box and the rich-text
// editor over the whole table Inform. Created once; closing posts a pending edit, closes the
// table and hides the window.
class TfmInform : public QWidget {
    Q_OBJECT
public:
    explicit TfmInform(QWidget* parent = nullptr);

public Q_SLOTS:
    void FormShow();
    void DataSource1StateChange();
    void BitBtnAddClick();
    void BitBtnModiClick();
    void BitBtnDelClick();
    void BitBtnPostClick();
    void BitBtnCancelClick();
    void BtnCloseClick();
    void PMISelAllClick();
    void PMIDelClick();
    void PMICopyClick();
    void PMIPasteClick();
    void PMIFontClick();
    void N2Click();
    void N3Click();
    void N5Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose(); // throws KqError when the pending edit cannot be posted
    void BuildPopupMenu();
    void ShowRecord();
    void UpdateRecord();
    void SelectCurrentRow();
    void DBEdit1Edited(const QString& typed);

    InformTable* m_table1;
    InformModel* m_dataSource1;
    QTableView* m_dbGrid1;
    QLineEdit* m_dbEdit1;
    QTextEdit* m_dbRichEdit1;
    QMenu* m_popupMenu1;
    QPushButton* m_bitBtnAdd;
    QPushButton* m_bitBtnModi;
    QPushButton* m_bitBtnDel;
    QPushButton* m_bitBtnPost;
    QPushButton* m_bitBtnCancel;
    QPushButton* m_btnClose;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
