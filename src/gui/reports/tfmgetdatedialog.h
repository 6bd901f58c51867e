// Window TfmGetDateDialog: "选择统计时间", the period for the statistics.
#pragma once

#include "core/reports/findinfo.h"
#include "core/setup/workcalendar.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace kq {

// "选择统计时间": a period and the count of days to attend in it.
class TfmGetDateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfmGetDateDialog(const TFindInfo& values, QWidget* parent = nullptr);

    void FormShow();
    void BeginDateChange();
    void EndDateChange();
    // Whether a character typed into m_edtDays passes: digits and control characters do.
    static bool EdtDaysKeyPress(QChar key);
    // Days to attend between the pickers' dates, by the holiday and make-up workday calendar.
    int WorkDayCount() const;
    // The pickers' dates; when "确定" closed the dialog, Confirmed and the count from the dates.
    TFindInfo values() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCount();

    QDateEdit* m_beginDate;
    QDateEdit* m_endDate;
    QLineEdit* m_edtDays;
    QPushButton* m_btnOk;
    QPushButton* m_btnCancel;
    QTime m_beginTime;
    QTime m_endTime;
    WorkCalendar m_calendar;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

// Runs the period dialog modally; returns the dates shown, confirmed or not.
TFindInfo ShowPeriodDialog(const TFindInfo& values, QWidget* parent = nullptr);

} // namespace kq
