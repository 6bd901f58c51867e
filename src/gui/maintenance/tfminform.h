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

    InformTable* Table1;
    InformModel* DataSource1;
    QTableView* DBGrid1;
    QLineEdit* DBEdit1;
    QTextEdit* DBRichEdit1;
    QMenu* PopupMenu1;
    QPushButton* BitBtnAdd;
    QPushButton* BitBtnModi;
    QPushButton* BitBtnDel;
    QPushButton* BitBtnPost;
    QPushButton* BitBtnCancel;
    QPushButton* BtnClose;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
