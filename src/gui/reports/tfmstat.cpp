#include "gui/reports/tfmstat.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/namedwidgets.h"

#include "core/reports/absence.h"
#include "core/reports/attendancequery.h"
#include "core/reports/leavereasons.h"
#include "core/reports/recordmodel.h"
#include "core/reports/xlswriter.h"
#include "gui/platform/guarded.h"
#include "gui/platform/guiservices.h"
#include "gui/reports/recordgrid.h"
#include "gui/reports/tfmfinddialog.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kq {

TfmStat::TfmStat(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fmStat"));
    setAttribute(Qt::WA_WindowPropagation); // takes the font of the window that opens it
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("考勤查询"));

    m_query1 = new RecordModel({}, this);
    m_dbGrid1 = new RecordGrid(this);
    m_dbGrid1->setRecordModel(m_query1);
    const auto action = [&](const char* name, const QString& caption) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        m_dbGrid1->addAction(a);
        return a;
    };
    m_pmiFilter = action("PMIFilter", QStringLiteral("过滤"));
    m_omiSave = action("OMISave", QStringLiteral("保存"));
    m_pmiClose = action("PMIClose", QStringLiteral("关闭"));
    m_dbGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_groupBox1 = new QGroupBox(QStringLiteral("统计结果"), this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_listBox1 = new QListWidget(m_groupBox1);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    (new QVBoxLayout(m_groupBox1))->addWidget(m_listBox1);
    const auto button = [&](const char* name, const QString& caption) {
        return NamedButton(this, name, caption);
    };
    m_bitBtn1 = button("BitBtn1", QStringLiteral("过滤(&Q)"));
    m_btnToEXCEL = button("BtnToEXCEL", QStringLiteral("保存为EXCEL.."));
    m_btnClose = button("BtnClose", QStringLiteral("关闭"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_bitBtn1);
    buttons->addWidget(m_btnToEXCEL);
    buttons->addWidget(m_btnClose);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_groupBox1, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dbGrid1, 1);
    layout->addLayout(bottom);
    m_groupBox1->setFixedHeight(150);

    connect(m_bitBtn1, &QPushButton::clicked, this, &TfmStat::BitBtn1Click);
    connect(m_pmiFilter, &QAction::triggered, this, &TfmStat::BitBtn1Click);
    connect(m_btnToEXCEL, &QPushButton::clicked, this, &TfmStat::BtnToEXCELClick);
    connect(m_omiSave, &QAction::triggered, this, &TfmStat::BtnToEXCELClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfmStat::BtnCloseClick);
    connect(m_pmiClose, &QAction::triggered, this, &TfmStat::BtnCloseClick);

    m_find = DefaultFindInfo(Now());
    Guarded([&] { FormCreate(); });
    FitOnScreen(this, QSize(780, 540));
}

void TfmStat::FormCreate() {
    m_query1->setColumns(RecordColumns::Load());
    m_totals = QList<TSlotTotals>(m_query1->columns().slotTable().size());
    m_query1->open(RecordFilter());
}

void TfmStat::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // The rows keep their order; the window opens on the most recent ones, at the end.
    m_dbGrid1->scrollToBottom();
}

void TfmStat::BitBtn1Click() {
    Guarded([&] {
        TakeFindResult(m_find, ShowFindDialog(m_find, this));
        if (m_find.Confirmed) Refresh();
    });
}

void TfmStat::Refresh() {
    Guarded([&] {
        const QList<TBaseInfo>& slotTable = m_query1->columns().slotTable();
        const RecordFilter filter =
            RecordFilter::Period(m_find.Name, m_find.BeginDate.date(), m_find.EndDate.date());
        // The grid, its totals and its export all read one snapshot taken after the completion.
        CompleteRecords(filter);
        m_query1->open(filter);
        m_totals = EvaluateRecords(slotTable, filter, m_query1->snapshot());
        m_listBox1->clear();
        m_listBox1->addItems(TotalsLines(slotTable, m_totals));
        m_listBox1->addItem(
            AbsentDaysLine(QueryAbsentDays(filter, WorkCalendar::Read(), Now().date(),
                                           int(ReadLeaveReasons().size()), m_query1->snapshot())));
    });
}

void TfmStat::BtnToEXCELClick() {
    Guarded([&] {
        if (m_query1->rowCount() == 0) return;
        const int row = qMax(m_dbGrid1->currentRow(), 0);
        const QString name = m_query1->field(row, FieldName).toString();
        QStringList footer;
        for (int i = 0; i < m_listBox1->count(); ++i)
            footer << m_listBox1->item(i)->text();
        const QString file = QueryXlsFileName(name);
        // The rows go from the grid's snapshot into the sheet as they are read.
        XlsWriter writer(file);
        WriteQueryTable(m_query1->columns(), m_query1->filter(), m_query1->snapshot(), name, footer,
                        {&writer});
        OpenWrittenFile(file);
    });
}

void TfmStat::BtnCloseClick() {
    close();
}

} // namespace kq
