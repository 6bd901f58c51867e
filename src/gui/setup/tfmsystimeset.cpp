#include "gui/setup/tfmsystimeset.h"

#include "core/data/tables.h"
#include "core/setup/clockcontrol.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/gbkwidthvalidator.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace kq {

namespace {

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TfmSysTimeSet::TfmSysTimeSet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSysTimeSet"));
    setWindowTitle(QStringLiteral("系统设置"));

    DBEdit1 = Named(new QLineEdit(this), "DBEdit1");
    LimitToWidth(DBEdit1, FieldWidth::CompanyName);
    DBCheckBox1 = Named(new QCheckBox(QStringLiteral("程序启动直接进入刷卡界面"), this), "DBCheckBox1");
    DBCheckBox2 = Named(new QCheckBox(QStringLiteral("开启刷卡提示声音"), this), "DBCheckBox2");
    DoubleSwipeEdit = Named(new QSpinBox(this), "DoubleSwipeEdit");
    DoubleSwipeEdit->setRange(0, kMaxDoubleSwipeSeconds);
    DoubleSwipeEdit->setSuffix(QStringLiteral(" 秒"));
    DoubleSwipeEdit->setSpecialValueText(QStringLiteral("不限制"));
    DPDate = Named(new QDateEdit(this), "DPDate");
    DPDate->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    DPDate->setCalendarPopup(true);
    TPTime = Named(new QTimeEdit(this), "TPTime");
    TPTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    CheckBox2 = Named(new QCheckBox(QStringLiteral("关闭[Windows日期/时间设置]功能"), this), "CheckBox2");
    BtnApply = Named(new QPushButton(QStringLiteral("应用"), this), "BtnApply");
    BtnApply->setDefault(true);
    BtnClose = Named(new QPushButton(QStringLiteral("关闭"), this), "BtnClose");
    BtnClose->setAutoDefault(false);
    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("使用单位名称"), this));
    name->addWidget(DBEdit1, 1);
    auto* doubleSwipe = new QHBoxLayout;
    doubleSwipe->addWidget(new QLabel(QStringLiteral("同一张卡再次刷卡的最短间隔"), this));
    doubleSwipe->addWidget(DoubleSwipeEdit);
    doubleSwipe->addStretch(1);
    auto* clockBox = new QGroupBox(QStringLiteral("修改系统时间"), this);
    auto* clock = new QGridLayout(clockBox);
    clock->addWidget(DPDate, 0, 0);
    clock->addWidget(TPTime, 0, 1);
    clock->addWidget(CheckBox2, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnApply);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addWidget(DBCheckBox1);
    layout->addWidget(DBCheckBox2);
    layout->addLayout(doubleSwipe);
    layout->addWidget(clockBox);
    layout->addLayout(buttons);

    connect(Timer1, &QTimer::timeout, this, &TfmSysTimeSet::Timer1Timer);
    connect(TPTime, &QTimeEdit::timeChanged, this, &TfmSysTimeSet::TPTimeChange);
    connect(DPDate, &QDateEdit::dateChanged, this, &TfmSysTimeSet::DPDateChange);
    connect(CheckBox2, &QCheckBox::clicked, this, &TfmSysTimeSet::CheckBox2Click);
    connect(DBCheckBox1, &QCheckBox::clicked, this, &TfmSysTimeSet::DBCheckBox1Click);
    connect(DBCheckBox2, &QCheckBox::clicked, this, &TfmSysTimeSet::DBCheckBox1Click);
    connect(DBEdit1, &QLineEdit::textEdited, this, &TfmSysTimeSet::DBEdit1Change);
    // LoadSettings sets the value with signals blocked: a change heard here is the operator's.
    connect(DoubleSwipeEdit, &QSpinBox::valueChanged, this, &TfmSysTimeSet::EnableApply);
    connect(BtnApply, &QPushButton::clicked, this, &TfmSysTimeSet::BtnApplyClick);
    connect(BtnClose, &QPushButton::clicked, this, &TfmSysTimeSet::BtnCloseClick);

    FormCreate();
}

void TfmSysTimeSet::LoadSettings() {
    m_read = ReadSysSetup();
    DBEdit1->setText(m_read.CompanyName);
    DBCheckBox1->setChecked(m_read.StartBrush);
    DBCheckBox2->setChecked(m_read.IsBeep);
    const QSignalBlocker quiet(DoubleSwipeEdit);
    DoubleSwipeEdit->setValue(m_read.DoubleSwipeSeconds);
}

void TfmSysTimeSet::FormCreate() {
    Guarded([&] { LoadSettings(); });
    m_switchedOff = ReadClockSettingOff(*Services().system);
    CheckBox2->setChecked(m_switchedOff);
    Timer1Timer();
    Timer1->start();
    BtnApply->setEnabled(false);
}

void TfmSysTimeSet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfmSysTimeSet::FormShow() {
    const QSignalBlocker block(DPDate);
    DPDate->setDate(Now().date());
}

void TfmSysTimeSet::Timer1Timer() {
    const QSignalBlocker block(TPTime);
    TPTime->setTime(Now().time());
}

void TfmSysTimeSet::EnableApply() {
    BtnApply->setEnabled(true);
}

void TfmSysTimeSet::TPTimeChange() {
    Timer1->stop();
    m_clockEdited = true;
    EnableApply();
}

void TfmSysTimeSet::DPDateChange() {
    m_clockEdited = true;
    EnableApply();
}

void TfmSysTimeSet::CheckBox2Click() {
    EnableApply();
}

void TfmSysTimeSet::DBCheckBox1Click() {
    EnableApply();
}

void TfmSysTimeSet::DBEdit1Change() {
    EnableApply();
}

void TfmSysTimeSet::BtnApplyClick() {
    try {
        WriteSysSetup(
            {DBCheckBox1->isChecked(), DBEdit1->text(), DBCheckBox2->isChecked(), DoubleSwipeEdit->value()},
            m_read);
    } catch (const ChangedElsewhere& e) {
        Prompt().error(e.message());
        Guarded([&] { LoadSettings(); });
        return;
    } catch (const KqError& e) {
        Prompt().error(e.message());
        return;
    }
    Guarded([&] {
        LoadSettings(); // with what other programs changed beside
        BtnApply->setEnabled(false);
        bool failed = false;
        const bool off = CheckBox2->isChecked();
        if (off != m_switchedOff) {
            const ClockSwitchResult r = SwitchClockSetting(*Services().system, off);
            if (!r.message.isEmpty()) Prompt().message(QStringLiteral("提示"), r.message);
            if (r.done)
                m_switchedOff = off;
            else
                failed = true;
        }
        if (m_clockEdited) {
            if (Services().system->setLocalTime(QDateTime(DPDate->date(), TPTime->time())))
                m_clockEdited = false;
            else
                failed = true;
        }
        BtnApply->setEnabled(failed);
    });
}

void TfmSysTimeSet::BtnCloseClick() {
    close();
}

} // namespace kq
