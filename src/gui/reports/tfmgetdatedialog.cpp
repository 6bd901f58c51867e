#include "gui/reports/tfmgetdatedialog.h"
#include "gui/platform/guarded.h"

#include "gui/reports/datepicker.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/dialogbuttons.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kq {

TfmGetDateDialog::TfmGetDateDialog(const TFindInfo& values, QWidget* parent)
    : QDialog(parent), m_beginTime(values.BeginDate.time()), m_endTime(values.EndDate.time()) {
    setObjectName(QStringLiteral("fmGetDateDialog"));
    setAttribute(Qt::WA_WindowPropagation); // takes the font of the window that opens it
    setWindowTitle(QStringLiteral("选择统计时间"));
    m_beginDate = MakeDatePicker("BeginDate", values.BeginDate.date(), this);
    m_endDate = MakeDatePicker("EndDate", values.EndDate.date(), this);
    m_edtDays = new QLineEdit(this);
    m_edtDays->setObjectName(QStringLiteral("EdtDays"));
    m_edtDays->installEventFilter(this);
    const DialogButtons buttons = MakeDialogButtons(this, "BtnOk", "BtnCancel");
    m_btnOk = buttons.ok;
    m_btnCancel = buttons.cancel;
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_beginDate, &QDateEdit::dateChanged, this, &TfmGetDateDialog::BeginDateChange);
    connect(m_endDate, &QDateEdit::dateChanged, this, &TfmGetDateDialog::EndDateChange);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("从:"), this), 0, 0);
    grid->addWidget(m_beginDate, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("到:"), this), 1, 0);
    grid->addWidget(m_endDate, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("应出勤天数："), this), 2, 0);
    grid->addWidget(m_edtDays, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow(buttons));
    Guarded([&] { m_calendar = WorkCalendar::Read(); });
}

void TfmGetDateDialog::FormShow() {
    showCount();
}

void TfmGetDateDialog::BeginDateChange() {
    showCount();
}

void TfmGetDateDialog::EndDateChange() {
    showCount();
}

bool TfmGetDateDialog::EdtDaysKeyPress(QChar key) {
    return key.unicode() <= 27 || (key >= QLatin1Char('0') && key <= QLatin1Char('9'));
}

int TfmGetDateDialog::WorkDayCount() const {
    return m_calendar.workDayCount(m_beginDate->date(), m_endDate->date());
}

TFindInfo TfmGetDateDialog::values() const {
    TFindInfo info;
    info.BeginDate = QDateTime(m_beginDate->date(), m_beginTime);
    info.EndDate = QDateTime(m_endDate->date(), m_endTime);
    info.Confirmed = result() == QDialog::Accepted;
    info.Days = info.Confirmed ? WorkDayCount() : 0;
    return info;
}

void TfmGetDateDialog::showEvent(QShowEvent* event) {
    Guarded([this] { FormShow(); });
    QDialog::showEvent(event);
}

bool TfmGetDateDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edtDays && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && !EdtDaysKeyPress(text.at(0))) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfmGetDateDialog::showCount() {
    m_edtDays->setText(QString::number(WorkDayCount()));
}

TFindInfo ShowPeriodDialog(const TFindInfo& values, QWidget* parent) {
    TfmGetDateDialog dialog(values, parent);
    dialog.adjustSize();
    CenterOnScreen(&dialog);
    dialog.exec();
    return dialog.values();
}

} // namespace kq
