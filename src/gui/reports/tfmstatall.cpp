#include "gui/reports/tfmstatall.h"
#include "core/data/schema.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/syssetup.h"
#include "core/platform/platform.h"
#include "core/reports/rowscan.h"
#include "core/reports/statistics.h"
#include "core/reports/xlswriter.h"
#include "gui/platform/guarded.h"
#include "gui/platform/guiservices.h"
#include "gui/reports/tfmgetdatedialog.h"
#include "gui/widgets/offthread.h"
#include "gui/widgets/tablefit.h"

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

    m_labTitle = new QLabel(this);
    m_labTitle->setObjectName(QStringLiteral("LabTitle"));
    m_labTitle->setAlignment(Qt::AlignCenter);
    QFont bold = m_labTitle->font();
    bold.setBold(true);
    bold.setPixelSize(18);
    m_labTitle->setFont(bold);
    m_labPeriod = new QLabel(this);
    m_labPeriod->setObjectName(QStringLiteral("LabPeriod"));
    m_labPeriod->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_listView1 = new QTableWidget(this);
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setShowGrid(false);
    m_listView1->verticalHeader()->hide();
    m_listView1->horizontalHeader()->setSectionsClickable(false);
    // Until a period is chosen the empty table says what to do.
    m_labEmpty = new QLabel(QStringLiteral("请选择时间段"), m_listView1->viewport());
    m_labEmpty->setObjectName(QStringLiteral("LabEmpty"));
    (new QVBoxLayout(m_listView1->viewport()))->addWidget(m_labEmpty, 0, Qt::AlignCenter);
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setVisible(false);
    const auto button = [&](const char* name, const QString& caption) {
        return NamedButton(this, name, caption);
    };
    m_bitBtn1 = button("BitBtn1", QStringLiteral("选择时间段(&Q)"));
    m_bitBtn2 = button("BitBtn2", QStringLiteral("保存为EXCEL.."));
    m_btnClose = button("BtnClose", QStringLiteral("关闭"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_progressBar1, 1);
    bottom->addStretch();
    bottom->addWidget(m_bitBtn1);
    bottom->addWidget(m_bitBtn2);
    bottom->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_labTitle);
    layout->addWidget(m_labPeriod);
    layout->addWidget(m_listView1, 1);
    layout->addLayout(bottom);

    connect(m_bitBtn1, &QPushButton::clicked, this, &TfmStatAll::BitBtn1Click);
    connect(m_bitBtn2, &QPushButton::clicked, this, &TfmStatAll::BitBtn2Click);
    connect(m_btnClose, &QPushButton::clicked, this, &TfmStatAll::BtnCloseClick);

    m_find = DefaultFindInfo(Now());
    Guarded([&] { FormCreate(); });
    FitOnScreen(this, QSize(800, 520));
}

void TfmStatAll::FormCreate() {
    m_slots = BuildSlotTable(AccumulateOn::OffDuty);
    m_reasons = ReadLeaveReasons(schema::BlankReson::SerialNo);
    const QStringList columns = StatColumns(m_slots, m_reasons);
    m_listView1->setColumnCount(int(columns.size()));
    m_listView1->setHorizontalHeaderLabels(columns);
    const int firstWidths[] = {50, 70, 80};
    for (int c = 0; c < columns.size(); ++c)
        m_listView1->setColumnWidth(c, c < 3 ? firstWidths[c] : 85);
    WidenToHeaders(m_listView1);
}

void TfmStatAll::FormShow() {
    Guarded([&] { m_labTitle->setText(ReadSysSetup().CompanyName); });
}

void TfmStatAll::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    Guarded([this] { FormShow(); });
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
    m_listView1->setRowCount(0);
    m_labEmpty->hide();
    m_lines.clear();
    const QDate first = m_find.BeginDate.date(), last = m_find.EndDate.date();
    m_labPeriod->setText(StatPeriodLine(first, last));
    // The pass runs on a thread of its own and posts its progress here, so the window stays alive
    // while the buttons and closing wait for the end.
    m_busy = true;
    for (QPushButton* b : {m_bitBtn1, m_bitBtn2, m_btnClose})
        b->setEnabled(false);
    m_progressBar1->setRange(0, 0);
    m_progressBar1->setVisible(true);
    const Progress progress = [this](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(this, [this, done, total] {
            m_progressBar1->setRange(0, 1000);
            m_progressBar1->setValue(total > 0 ? int(done * 1000 / total) : 1000);
        });
    };
    Guarded([&] {
        const QList<StatEmployee> employees = StatEmployees();
        const auto reader = std::make_shared<WorkListReader>();
        const WorkCalendar calendar = WorkCalendar::Read();
        const QDate today = Now().date();
        RunOffThread(
            [&] {
                m_lines = ComputeStatistics(m_slots, m_reasons, employees, first, last, m_find.Days, progress,
                                            reader);
                AppendAbsentDays(m_lines, employees, calendar, first, last, today, int(m_reasons.size()),
                                 reader);
            },
            this);
    });
    m_listView1->setRowCount(int(m_lines.size()));
    for (int r = 0; r < m_lines.size(); ++r)
        for (int c = 0; c < m_lines.at(r).size(); ++c)
            m_listView1->setItem(r, c, new QTableWidgetItem(m_lines.at(r).at(c)));
    m_listView1->setShowGrid(true);
    m_progressBar1->setVisible(false);
    for (QPushButton* b : {m_bitBtn1, m_bitBtn2, m_btnClose})
        b->setEnabled(true);
    m_busy = false;
}

void TfmStatAll::BitBtn2Click() {
    if (m_lines.isEmpty()) return;
    Guarded([&] {
        QStringList columns;
        for (int c = 0; c < m_listView1->columnCount(); ++c)
            columns << m_listView1->horizontalHeaderItem(c)->text();
        const QString file = StatXlsFileName();
        WriteXls(file, StatXlsTable(m_labTitle->text(), m_labPeriod->text(), columns,
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
