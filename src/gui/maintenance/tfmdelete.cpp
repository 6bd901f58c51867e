#include "gui/maintenance/tfmdelete.h"
#include "gui/widgets/centeronscreen.h"

#include "core/data/shared.h"
#include "core/maintenance/perioddelete.h"
#include "gui/platform/guarded.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kq {

namespace {

QDateEdit* DatePicker(QWidget* parent, const char* name) {
    auto* d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    d->setCalendarPopup(true);
    return d;
}

} // namespace

TfmDelete::TfmDelete(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fmDelete"));
    setWindowTitle(QStringLiteral("考勤数据删除"));
    m_beginDate = DatePicker(this, "BeginDate");
    m_endDate = DatePicker(this, "EndDate");
    m_bitBtnPost = new QPushButton(QStringLiteral("确定(&O)"), this);
    m_bitBtnPost->setObjectName(QStringLiteral("BitBtnPost"));
    m_seSkinButton1 = new QPushButton(QStringLiteral("关闭(&E)"), this);
    m_seSkinButton1->setObjectName(QStringLiteral("SeSkinButton1"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("开始日期"), m_beginDate);
    form->addRow(QStringLiteral("结束日期"), m_endDate);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_bitBtnPost);
    buttons->addWidget(m_seSkinButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    FitOnScreen(this, QSize(320, 140));

    connect(m_bitBtnPost, &QPushButton::clicked, this, &TfmDelete::BitBtnPostClick);
    connect(m_seSkinButton1, &QPushButton::clicked, this, &TfmDelete::SeSkinButton1Click);
}

void TfmDelete::FormShow() {
    const QDate today = Now().date();
    m_beginDate->setDate(today);
    m_endDate->setDate(today);
}

void TfmDelete::BitBtnPostClick() {
    const QDate first = m_beginDate->date();
    const QDate last = m_endDate->date();
    const QString question =
        QStringLiteral("     考勤数据删除后无法恢复！\r\n\r\n是否真要删除从【%1】到【%2】的所有数据？")
            .arg(DateText(first), DateText(last));
    if (!Prompt().ask(QStringLiteral("删除确认提示"), question)) return;
    if (!Guarded([&] { DeletePeriod(first, last); })) return;
    Prompt().message(QStringLiteral("提示"), QStringLiteral("考勤数据删除成功！"));
}

void TfmDelete::SeSkinButton1Click() {
    close();
}

void TfmDelete::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

} // namespace kq
