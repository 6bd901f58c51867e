// Window NumberedListWindow: the window behind the departments and absence reasons lists.
#pragma once

#include "core/data/dataset.h"
#include "gui/widgets/childteardown.h"

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
    QString kind;  // what the delete question calls an entry
    int nameWidth; // of the name field, in GBK bytes
};

// Edits a list whose rows are numbered 1..n: adding takes the next number, deleting renumbers
// the rest. The grid is read-only, so the numbering cannot be bypassed. Every change reaches the
// file at once, made on its current content (ApplyChange).
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

    void done(int result) override;

protected:
    NumberedListWindow(NumberedListTexts texts, QWidget* parent);
    void showEvent(QShowEvent* event) override;

private:
    // Positions on the row that held stored when the operator chose it; throws when another
    // program changed or deleted it meanwhile.
    void LocateChosen(const QVariantList& stored, const QString& name);

    NumberedListTexts m_texts;
    DataSet m_clientDataSet1;
    QTableView* m_dbGrid1;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
