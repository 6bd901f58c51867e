// Window TfmFindDialog: "查找信息", a name and a period for the query.
#pragma once

#include "core/reports/findinfo.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QPushButton;

namespace kq {

// "查找信息": a person's name (chosen from the employees or typed) and a period.
class TfmFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfmFindDialog(const TFindInfo& values, QWidget* parent = nullptr);

    // Fills the name list from Employee.dat in file order and shows the given name. Throws KqError.
    void FormShow();
    // The name and dates shown, Confirmed when "确定" closed the dialog; other fields empty.
    TFindInfo values() const;

private:
    QComboBox* m_comboBox1;
    QDateEdit* m_beginDate;
    QDateEdit* m_endDate;
    QPushButton* m_seSkinButton1;
    QPushButton* m_seSkinButton2;
    QString m_name;
    QTime m_beginTime;
    QTime m_endTime;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

// Runs the search dialog modally and returns what it showed when it closed, confirmed or not.
// A failure to read the employees throws KqError before the dialog shows.
TFindInfo ShowFindDialog(const TFindInfo& values, QWidget* parent = nullptr);

} // namespace kq
