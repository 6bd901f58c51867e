#include "gui/maintenance/tfmauditlog.h"

#include "core/maintenance/auditlog.h"
#include "gui/platform/guarded.h"
#include "gui/reports/datepicker.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kq {

TfmAuditLog::TfmAuditLog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAuditLog"));
    setWindowTitle(QStringLiteral("修改记录"));
    const QDate today = Now().date();
    m_beginDate = MakeDatePicker("BeginDate", QDate(today.year(), today.month(), 1), this);
    m_endDate = MakeDatePicker("EndDate", today, this);
    m_btnFind = new QPushButton(QStringLiteral("查询(&Q)"), this);
    m_btnFind->setObjectName(QStringLiteral("BtnFind"));
    m_btnClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    m_btnClose->setObjectName(QStringLiteral("BtnClose"));
    m_btnClose->setAutoDefault(false);
    connect(m_btnFind, &QPushButton::clicked, this, &TfmAuditLog::BtnFindClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfmAuditLog::BtnCloseClick);

    m_dbGrid1 = new QTableWidget(0, 7, this);
    m_dbGrid1->setObjectName(QStringLiteral("DBGrid1"));
    m_dbGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("序号"), QStringLiteral("时间"), QStringLiteral("操作员"), QStringLiteral("操作"),
         QStringLiteral("记录"), QStringLiteral("原值"), QStringLiteral("新值")});
    m_dbGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->verticalHeader()->hide();
    m_dbGrid1->horizontalHeader()->setStretchLastSection(true);
    m_dbGrid1->setMinimumSize(900, 360);
    m_labCheck = new QLabel(this);
    m_labCheck->setObjectName(QStringLiteral("LabCheck"));

    auto* period = new QHBoxLayout;
    period->addWidget(new QLabel(QStringLiteral("从:"), this));
    period->addWidget(m_beginDate);
    period->addWidget(new QLabel(QStringLiteral("到:"), this));
    period->addWidget(m_endDate);
    period->addWidget(m_btnFind);
    period->addStretch(1);
    period->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addWidget(m_dbGrid1, 1);
    layout->addWidget(m_labCheck);
    BtnFindClick();
}

void TfmAuditLog::BtnFindClick() {
    Guarded([&] {
        const QList<AuditEntry> entries = ReadAuditLog(m_beginDate->date(), m_endDate->date());
        m_dbGrid1->setRowCount(int(entries.size()));
        for (int r = 0; r < entries.size(); ++r) {
            const AuditEntry& e = entries.at(r);
            const QStringList cells = {QString::number(e.Seq),
                                       e.EntryTime,
                                       e.OperatorName,
                                       e.Kind,
                                       e.RecordKey,
                                       e.OldValues,
                                       e.NewValues};
            for (int c = 0; c < cells.size(); ++c)
                m_dbGrid1->setItem(r, c, new QTableWidgetItem(cells.at(c)));
        }
        m_dbGrid1->resizeColumnsToContents();
        const AuditCheck check = VerifyAuditLog();
        m_labCheck->setText(AuditCheckText(check));
        m_labCheck->setStyleSheet(
            check.intact() ? QString() : QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    });
}

void TfmAuditLog::BtnCloseClick() {
    close();
}

} // namespace kq
