#pragma once

#include "core/reports/evaluation.h"
#include "core/reports/findinfo.h"
#include "core/reports/leavereasons.h"
#include "gui/widgets/childteardown.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace kq {

// "考勤统计": one line per employee for a chosen period, with the late, early and accumulated
// times per shift, the days per absence reason and the days to attend. Modal.
class TfmStatAll : public QDialog {
    Q_OBJECT
public:
    explicit TfmStatAll(QWidget* parent = nullptr);

    // Computes the table of the current period (after a confirmed period dialog).
    void Compute();

    const TFindInfo& findInfo() const { return m_find; }
    bool busy() const { return m_busy; }

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BtnCloseClick();
    void FormCreate();

    QLabel* m_labTitle;
    QLabel* m_labPeriod;
    QLabel* m_labEmpty;
    QTableWidget* m_listView1;
    QProgressBar* m_progressBar1;
    QPushButton* m_bitBtn1;
    QPushButton* m_bitBtn2;
    QPushButton* m_btnClose;
    TFindInfo m_find;
    QList<TBaseInfo> m_slots;
    QList<LeaveReason> m_reasons;
    QList<QStringList> m_lines;
    bool m_busy = false;
    bool m_shown = false;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
