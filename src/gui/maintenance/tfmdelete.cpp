#include "gui/maintenance/tfmdelete.h"

#include "core/data/shared.h"
#include "core/maintenance/perioddelete.h"
#include "gui/platform/guarded.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
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
    BeginDate = DatePicker(this, "BeginDate");
    EndDate = DatePicker(this, "EndDate");
    BitBtnPost = new QPushButton(QStringLiteral("确定(&O)"), this);
    BitBtnPost->setObjectName(QStringLiteral("BitBtnPost"));
    SeSkinButton1 = new QPushButton(QStringLiteral("关闭(&E)"), this);
    SeSkinButton1->setObjectName(QStringLiteral("SeSkinButton1"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("开始日期"), BeginDate);
    form->addRow(QStringLiteral("结束日期"), EndDate);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnPost);
    buttons->addWidget(SeSkinButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(320, 140);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    connect(BitBtnPost, &QPushButton::clicked, this, &TfmDelete::BitBtnPostClick);
    connect(SeSkinButton1, &QPushButton::clicked, this, &TfmDelete::SeSkinButton1Click);
}

void TfmDelete::FormShow() {
    const QDate today = Now().date();
    BeginDate->setDate(today);
    EndDate->setDate(today);
}

void TfmDelete::BitBtnPostClick() {
    const QDate first = BeginDate->date();
    const QDate last = EndDate->date();
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
    if (!event->spontaneous()) FormShow();
}

} // namespace kq
