#include "gui/setup/tfmsystimeset.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/tables.h"
#include "core/setup/clockcontrol.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/gbkwidthvalidator.h"
#include "gui/widgets/offthread.h"

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

namespace {} // namespace

TfmSysTimeSet::TfmSysTimeSet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSysTimeSet"));
    setWindowTitle(QStringLiteral("系统设置"));

    m_dbEdit1 = Named(new QLineEdit(this), "DBEdit1");
    LimitToWidth(m_dbEdit1, FieldWidth::CompanyName);
    m_dbCheckBox1 = Named(new QCheckBox(QStringLiteral("程序启动直接进入刷卡界面"), this), "DBCheckBox1");
    m_dbCheckBox2 = Named(new QCheckBox(QStringLiteral("开启刷卡提示声音"), this), "DBCheckBox2");
    m_doubleSwipeEdit = Named(new QSpinBox(this), "DoubleSwipeEdit");
    m_doubleSwipeEdit->setRange(0, kMaxDoubleSwipeSeconds);
    m_doubleSwipeEdit->setSuffix(QStringLiteral(" 秒"));
    m_doubleSwipeEdit->setSpecialValueText(QStringLiteral("不限制"));
    m_dpDate = Named(new QDateEdit(this), "DPDate");
    m_dpDate->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    m_dpDate->setCalendarPopup(true);
    m_tpTime = Named(new QTimeEdit(this), "TPTime");
    m_tpTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_checkBox2 = Named(new QCheckBox(QStringLiteral("关闭[Windows日期/时间设置]功能"), this), "CheckBox2");
    m_btnApply = Named(new QPushButton(QStringLiteral("应用"), this), "BtnApply");
    m_btnApply->setDefault(true);
    m_btnClose = Named(new QPushButton(QStringLiteral("关闭"), this), "BtnClose");
    m_btnClose->setAutoDefault(false);
    m_timer1 = Named(new QTimer(this), "Timer1");
    m_timer1->setInterval(1000);

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("使用单位名称"), this));
    name->addWidget(m_dbEdit1, 1);
    auto* doubleSwipe = new QHBoxLayout;
    doubleSwipe->addWidget(new QLabel(QStringLiteral("同一张卡再次刷卡的最短间隔"), this));
    doubleSwipe->addWidget(m_doubleSwipeEdit);
    doubleSwipe->addStretch(1);
    auto* clockBox = new QGroupBox(QStringLiteral("修改系统时间"), this);
    auto* clock = new QGridLayout(clockBox);
    clock->addWidget(m_dpDate, 0, 0);
    clock->addWidget(m_tpTime, 0, 1);
    clock->addWidget(m_checkBox2, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnApply);
    buttons->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addWidget(m_dbCheckBox1);
    layout->addWidget(m_dbCheckBox2);
    layout->addLayout(doubleSwipe);
    layout->addWidget(clockBox);
    layout->addLayout(buttons);

    connect(m_timer1, &QTimer::timeout, this, &TfmSysTimeSet::Timer1Timer);
    connect(m_tpTime, &QTimeEdit::timeChanged, this, &TfmSysTimeSet::TPTimeChange);
    connect(m_dpDate, &QDateEdit::dateChanged, this, &TfmSysTimeSet::DPDateChange);
    connect(m_checkBox2, &QCheckBox::clicked, this, &TfmSysTimeSet::CheckBox2Click);
    connect(m_dbCheckBox1, &QCheckBox::clicked, this, &TfmSysTimeSet::DBCheckBox1Click);
    connect(m_dbCheckBox2, &QCheckBox::clicked, this, &TfmSysTimeSet::DBCheckBox1Click);
    connect(m_dbEdit1, &QLineEdit::textEdited, this, &TfmSysTimeSet::DBEdit1Change);
    // LoadSettings sets the value with signals blocked: a change heard here is the operator's.
    connect(m_doubleSwipeEdit, &QSpinBox::valueChanged, this, &TfmSysTimeSet::EnableApply);
    connect(m_btnApply, &QPushButton::clicked, this, &TfmSysTimeSet::BtnApplyClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfmSysTimeSet::BtnCloseClick);

    FormCreate();
}

void TfmSysTimeSet::LoadSettings() {
    m_read = ReadSysSetup();
    m_dbEdit1->setText(m_read.CompanyName);
    m_dbCheckBox1->setChecked(m_read.StartBrush);
    m_dbCheckBox2->setChecked(m_read.IsBeep);
    const QSignalBlocker quiet(m_doubleSwipeEdit);
    m_doubleSwipeEdit->setValue(m_read.DoubleSwipeSeconds);
}

void TfmSysTimeSet::FormCreate() {
    Guarded([&] { LoadSettings(); });
    m_switchedOff = ReadClockSettingOff(*Services().system);
    m_checkBox2->setChecked(m_switchedOff);
    Timer1Timer();
    m_timer1->start();
    m_btnApply->setEnabled(false);
}

void TfmSysTimeSet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TfmSysTimeSet::FormShow() {
    const QSignalBlocker block(m_dpDate);
    m_dpDate->setDate(Now().date());
}

void TfmSysTimeSet::Timer1Timer() {
    const QSignalBlocker block(m_tpTime);
    m_tpTime->setTime(Now().time());
}

void TfmSysTimeSet::EnableApply() {
    m_btnApply->setEnabled(true);
}

void TfmSysTimeSet::TPTimeChange() {
    m_timer1->stop();
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
        WriteSysSetup({m_dbCheckBox1->isChecked(), m_dbEdit1->text(), m_dbCheckBox2->isChecked(),
                       m_doubleSwipeEdit->value()},
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
        m_btnApply->setEnabled(false);
        bool failed = false;
        const bool off = m_checkBox2->isChecked();
        if (off != m_switchedOff) {
            // The policy commands are waited for on a thread of their own: the window stays alive.
            ClockSwitchResult r;
            RunOffThread([&] { r = SwitchClockSetting(*Services().system, off); }, this);
            if (!r.message.isEmpty()) Prompt().message(QStringLiteral("提示"), r.message);
            if (r.done)
                m_switchedOff = off;
            else
                failed = true;
        }
        if (m_clockEdited) {
            if (Services().system->setLocalTime(QDateTime(m_dpDate->date(), m_tpTime->time()))) {
                m_clockEdited = false;
            } else {
                failed = true;
                Prompt().message(QStringLiteral("提示"),
                                 QStringLiteral("系统时间未能修改：设置系统时钟需要相应的权限。"),
                                 Prompter::Icon::Warning);
            }
        }
        m_btnApply->setEnabled(failed);
    });
}

void TfmSysTimeSet::BtnCloseClick() {
    close();
}

} // namespace kq
