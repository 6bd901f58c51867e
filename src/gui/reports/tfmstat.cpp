#include "gui/reports/tfmstat.h"

#include "core/reports/attendancequery.h"
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
    resize(780, 540);

    Query1 = new RecordModel({}, this);
    DBGrid1 = new RecordGrid(this);
    DBGrid1->setRecordModel(Query1);
    const auto action = [&](const char* name, const QString& caption) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        DBGrid1->addAction(a);
        return a;
    };
    PMIFilter = action("PMIFilter", QStringLiteral("过滤"));
    OMISave = action("OMISave", QStringLiteral("保存"));
    PMIClose = action("PMIClose", QStringLiteral("关闭"));
    DBGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);

    GroupBox1 = new QGroupBox(QStringLiteral("统计结果"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    ListBox1 = new QListWidget(GroupBox1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    (new QVBoxLayout(GroupBox1))->addWidget(ListBox1);
    const auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    BitBtn1 = button("BitBtn1", QStringLiteral("过滤(&Q)"));
    BtnToEXCEL = button("BtnToEXCEL", QStringLiteral("保存为EXCEL.."));
    BtnClose = button("BtnClose", QStringLiteral("关闭"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BtnToEXCEL);
    buttons->addWidget(BtnClose);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(GroupBox1, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(bottom);
    GroupBox1->setFixedHeight(150);

    connect(BitBtn1, &QPushButton::clicked, this, &TfmStat::BitBtn1Click);
    connect(PMIFilter, &QAction::triggered, this, &TfmStat::BitBtn1Click);
    connect(BtnToEXCEL, &QPushButton::clicked, this, &TfmStat::BtnToEXCELClick);
    connect(OMISave, &QAction::triggered, this, &TfmStat::BtnToEXCELClick);
    connect(BtnClose, &QPushButton::clicked, this, &TfmStat::BtnCloseClick);
    connect(PMIClose, &QAction::triggered, this, &TfmStat::BtnCloseClick);

    m_find = DefaultFindInfo(Now());
    Guarded([&] { FormCreate(); });
}

void TfmStat::FormCreate() {
    Query1->setColumns(RecordColumns::Load());
    m_totals = QList<TSlotTotals>(Query1->columns().slotTable().size());
    Query1->open(RecordFilter());
}

void TfmStat::BitBtn1Click() {
    Guarded([&] {
        TakeFindResult(m_find, ShowFindDialog(m_find, this));
        if (m_find.Confirmed) Refresh();
    });
}

void TfmStat::Refresh() {
    Guarded([&] {
        const QList<TBaseInfo>& slotTable = Query1->columns().slotTable();
        const RecordFilter filter =
            RecordFilter::Period(m_find.Name, m_find.BeginDate.date(), m_find.EndDate.date());
        // The grid, its totals and its export all read one snapshot taken after the completion.
        CompleteRecords(filter);
        Query1->open(filter);
        m_totals = EvaluateRecords(slotTable, filter, Query1->snapshot());
        ListBox1->clear();
        ListBox1->addItems(TotalsLines(slotTable, m_totals));
    });
}

void TfmStat::BtnToEXCELClick() {
    Guarded([&] {
        if (Query1->rowCount() == 0) return;
        const int row = qMax(DBGrid1->currentRow(), 0);
        const QString name = Query1->field(row, FieldName).toString();
        QStringList footer;
        for (int i = 0; i < ListBox1->count(); ++i)
            footer << ListBox1->item(i)->text();
        const QString file = QueryXlsFileName(name);
        const RecordColumns& columns = Query1->columns();
        WriteXls(file, QueryXlsTable(columns, RecordRows(columns, Query1->filter(), Query1->snapshot()), name,
                                     footer));
        OpenWrittenFile(file);
    });
}

void TfmStat::BtnCloseClick() {
    close();
}

} // namespace kq
