// Window TfmStat: "考勤查询", the attendance query.
#pragma once

#include "core/reports/evaluation.h"
#include "core/reports/findinfo.h"
#include "gui/widgets/childteardown.h"

#include <QWidget>

class QAction;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace kq {

class RecordGrid;
class RecordModel;

// "考勤查询": the attendance rows of a period, of one person or everybody, late and early times
// in red, and the totals per slot below. A new non-modal window at every use.
class TfmStat : public QWidget {
    Q_OBJECT
public:
    explicit TfmStat(QWidget* parent = nullptr);

    // Completes the person's period, shows the rows and the totals of the current values.
    void Refresh();

    const TFindInfo& findInfo() const { return m_find; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BitBtn1Click();
    void BtnToEXCELClick();
    void BtnCloseClick();
    void FormCreate();

    RecordGrid* m_dbGrid1;
    RecordModel* m_query1;
    QGroupBox* m_groupBox1;
    QListWidget* m_listBox1;
    QPushButton* m_bitBtn1;
    QPushButton* m_btnToEXCEL;
    QPushButton* m_btnClose;
    QAction* m_pmiFilter;
    QAction* m_omiSave;
    QAction* m_pmiClose;
    TFindInfo m_find;
    QList<TSlotTotals> m_totals;
    bool m_shown = false;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
