#pragma once

#include "data/dataset.h"
#include "widgets/childteardown.h"

#include <QDialog>

class QTableView;

namespace kq {

// The file, fields and texts that make a numbered list window the departments or the absence
// reasons window.
struct NumberedListTexts {
    QString caption;
    QString fileName;
    QString numberField;
    QString nameField;
    QString nameTitle;  // title of the name column
    QString addCaption; // input dialog when adding
    QString addLabel;
    QString modiCaption; // input dialog when renaming
    QString modiLabel;
    QString kind; // what the delete question calls an entry
};

// Edits a list whose rows are numbered 1..n: adding takes the next number, deleting renumbers
// the rest. The grid is read-only, so the numbering cannot be bypassed. Every change reaches the
// file at once.
class NumberedListWindow : public QDialog {
    Q_OBJECT
public:
    void FormShow();
    void BitBtnAddClick();
    void BitBtnModiClick();
    void BitBtnDelClick();
    void SeSkinButton1Click();

    DataSet& clientDataSet() { return m_clientDataSet1; }
    QTableView* grid() const { return m_dbGrid1; }

protected:
    NumberedListWindow(NumberedListTexts texts, QWidget* parent);
    void showEvent(QShowEvent* event) override;

private:
    // Runs change on the dataset and writes the file.
    template <typename F> void Change(F&& change);

    NumberedListTexts m_texts;
    DataSet m_clientDataSet1;
    QTableView* m_dbGrid1;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
