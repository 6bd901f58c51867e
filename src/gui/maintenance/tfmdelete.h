// Window TfmDelete: "考勤数据删除", deletes the records of a period.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QWidget>

class QDateEdit;
class QPushButton;

namespace kq {

// "考勤数据删除": deletes the attendance records of a period of days after a confirmation.
// Created once; both pickers return to today at every showing.
class TfmDelete : public QWidget {
    Q_OBJECT
public:
    explicit TfmDelete(QWidget* parent = nullptr);

public Q_SLOTS:
    void FormShow();
    void BitBtnPostClick();
    void SeSkinButton1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QDateEdit* m_beginDate;
    QDateEdit* m_endDate;
    QPushButton* m_bitBtnPost;
    QPushButton* m_seSkinButton1;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
