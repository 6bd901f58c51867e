#include "gui/reports/tfmstatall.h"

#include "core/data/syssetup.h"
#include "core/reports/statistics.h"
#include "core/reports/xlswriter.h"
#include "gui/platform/guarded.h"
#include "gui/platform/guiservices.h"
#include "gui/reports/tfmgetdatedialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kq {

TfmStatAll::TfmStatAll(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmStatAll"));
    setAttribute(Qt::WA_WindowPropagation); // takes the font of the window that opens it
    setWindowTitle(QStringLiteral("考勤统计"));
    resize(800, 520);

    LabTitle = new QLabel(this);
    LabTitle->setObjectName(QStringLiteral("LabTitle"));
    LabTitle->setAlignment(Qt::AlignCenter);
    QFont bold = LabTitle->font();
    bold.setBold(true);
    bold.setPixelSize(18);
    LabTitle->setFont(bold);
    LabPeriod = new QLabel(this);
    LabPeriod->setObjectName(QStringLiteral("LabPeriod"));
    LabPeriod->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ListView1 = new QTableWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setShowGrid(false);
    ListView1->verticalHeader()->hide();
    ListView1->horizontalHeader()->setSectionsClickable(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setVisible(false);
    const auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    BitBtn1 = button("BitBtn1", QStringLiteral("选择时间段(&Q)"));
    BitBtn2 = button("BitBtn2", QStringLiteral("保存为EXCEL.."));
    BtnClose = button("BtnClose", QStringLiteral("关闭"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ProgressBar1, 1);
    bottom->addStretch();
    bottom->addWidget(BitBtn1);
    bottom->addWidget(BitBtn2);
    bottom->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabTitle);
    layout->addWidget(LabPeriod);
    layout->addWidget(ListView1, 1);
    layout->addLayout(bottom);

    connect(BitBtn1, &QPushButton::clicked, this, &TfmStatAll::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfmStatAll::BitBtn2Click);
    connect(BtnClose, &QPushButton::clicked, this, &TfmStatAll::BtnCloseClick);

    m_find = DefaultFindInfo(Now());
    Guarded([&] { FormCreate(); });
}

void TfmStatAll::FormCreate() {
    m_slots = BuildSlotTable(AccumulateOn::OffDuty);
    m_reasons = ReadLeaveReasons(QStringLiteral("SerialNo"));
    const QStringList columns = StatColumns(m_slots, m_reasons);
    ListView1->setColumnCount(int(columns.size()));
    ListView1->setHorizontalHeaderLabels(columns);
    const int firstWidths[] = {50, 70, 80};
    for (int c = 0; c < columns.size(); ++c)
        ListView1->setColumnWidth(c, c < 3 ? firstWidths[c] : 85);
}

void TfmStatAll::FormShow() {
    Guarded([&] { LabTitle->setText(ReadSysSetup().CompanyName); });
}

void TfmStatAll::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TfmStatAll::BitBtn1Click() {
    if (m_busy) return;
    Guarded([&] {
        const TFindInfo chosen = ShowPeriodDialog(m_find, this);
        m_find.BeginDate = chosen.BeginDate;
        m_find.EndDate = chosen.EndDate;
        m_find.Days = chosen.Days;
        m_find.Confirmed = chosen.Confirmed;
    });
    if (m_find.Confirmed) Compute();
}

void TfmStatAll::Compute() {
    ListView1->setRowCount(0);
    m_lines.clear();
    const QDate first = m_find.BeginDate.date(), last = m_find.EndDate.date();
    LabPeriod->setText(StatPeriodLine(first, last));
    // The pass runs on this thread; progress lets pending events run so the window stays alive,
    // while the buttons and closing wait for the end.
    m_busy = true;
    for (QPushButton* b : {BitBtn1, BitBtn2, BtnClose})
        b->setEnabled(false);
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setVisible(true);
    const Progress progress = [&](qint64 done, qint64 total) {
        ProgressBar1->setRange(0, 1000);
        ProgressBar1->setValue(total > 0 ? int(done * 1000 / total) : 1000);
        QApplication::processEvents();
    };
    Guarded([&] {
        m_lines = ComputeStatistics(m_slots, m_reasons, StatEmployees(), first, last, m_find.Days, progress);
    });
    ListView1->setRowCount(int(m_lines.size()));
    for (int r = 0; r < m_lines.size(); ++r)
        for (int c = 0; c < m_lines.at(r).size(); ++c)
            ListView1->setItem(r, c, new QTableWidgetItem(m_lines.at(r).at(c)));
    ListView1->setShowGrid(true);
    ProgressBar1->setVisible(false);
    for (QPushButton* b : {BitBtn1, BitBtn2, BtnClose})
        b->setEnabled(true);
    m_busy = false;
}

void TfmStatAll::BitBtn2Click() {
    if (m_lines.isEmpty()) return;
    Guarded([&] {
        QStringList columns;
        for (int c = 0; c < ListView1->columnCount(); ++c)
            columns << ListView1->horizontalHeaderItem(c)->text();
        const QString file = StatXlsFileName();
        WriteXls(file, StatXlsTable(LabTitle->text(), LabPeriod->text(), columns,
                                    StatColumnKinds(m_slots, m_reasons), m_lines));
        OpenWrittenFile(file);
    });
}

void TfmStatAll::BtnCloseClick() {
    close();
}

void TfmStatAll::reject() {
    if (!m_busy) QDialog::reject();
}

void TfmStatAll::closeEvent(QCloseEvent* event) {
    if (m_busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace kq
