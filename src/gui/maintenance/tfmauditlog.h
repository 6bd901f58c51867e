#pragma once

#include "gui/widgets/childteardown.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kq {

// "修改记录": the correction log of a period, read-only, and whether the whole log is intact.
class TfmAuditLog : public QDialog {
    Q_OBJECT
public:
    explicit TfmAuditLog(QWidget* parent = nullptr);

    // Reads the entries of the chosen days and checks the whole chain again.
    void BtnFindClick();
    void BtnCloseClick();

private:
    QDateEdit* m_beginDate = nullptr;
    QDateEdit* m_endDate = nullptr;
    QPushButton* m_btnFind = nullptr;
    QPushButton* m_btnClose = nullptr;
    QTableWidget* m_dbGrid1 = nullptr;
    QLabel* m_labCheck = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
