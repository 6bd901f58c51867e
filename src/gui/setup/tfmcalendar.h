#pragma once

#include "core/setup/workcalendar.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>
#include <QList>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kq {

// "节假日与调休": the days that break the week's rule, holidays and make-up workdays. Adding a
// date that is listed replaces its entry; every change is stored at once.
class TfmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfmCalendar(QWidget* parent = nullptr);

    void BitBtnAddClick();
    void BitBtnDelClick();
    void SeSkinButton1Click();
    const QList<CalendarDay>& days() const { return m_days; }

private:
    // Reads the calendar again and selects the entry of date when it is listed.
    void Reload(const QDate& select = {});
    void GridRowChanged(int row);

    QList<CalendarDay> m_days;
    QTableWidget* m_dbGrid1 = nullptr;
    QDateEdit* m_dpDate = nullptr;
    QRadioButton* m_rbHoliday = nullptr;
    QRadioButton* m_rbWorkday = nullptr;
    QLineEdit* m_edtName = nullptr;
    QPushButton* m_bitBtnAdd = nullptr;
    QPushButton* m_bitBtnDel = nullptr;
    QPushButton* m_seSkinButton1 = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
