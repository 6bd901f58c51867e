#include "gui/setup/tfmcalendar.h"

#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/reports/evaluation.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/gbkwidthvalidator.h"
#include "gui/widgets/namedwidgets.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kq {

TfmCalendar::TfmCalendar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmCalendar"));
    setWindowTitle(QStringLiteral("节假日与调休"));

    m_dbGrid1 = Named(new QTableWidget(0, 4, this), "DBGrid1");
    m_dbGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("日期"), QStringLiteral("星期"), QStringLiteral("类别"), QStringLiteral("名称")});
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbGrid1->verticalHeader()->hide();
    m_dbGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch); // no sideways scrolling
    m_dbGrid1->setMinimumSize(400, 240);
    connect(m_dbGrid1, &QTableWidget::currentCellChanged, this, [this](int row) { GridRowChanged(row); });

    m_dpDate = Named(new QDateEdit(Now().date(), this), "DPDate");
    m_dpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dpDate->setCalendarPopup(true);
    m_rbHoliday = Named(new QRadioButton(CalendarKindText(CalendarKind::Holiday), this), "RBHoliday");
    m_rbWorkday = Named(new QRadioButton(CalendarKindText(CalendarKind::Workday), this), "RBWorkday");
    m_rbHoliday->setChecked(true);
    m_edtName = Named(new QLineEdit(this), "EdtName");
    LimitToWidth(m_edtName, FieldWidth::DayName);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("日期："), this), 0, 0);
    fields->addWidget(m_dpDate, 0, 1);
    fields->addWidget(m_rbHoliday, 0, 2);
    fields->addWidget(m_rbWorkday, 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("名称："), this), 1, 0);
    fields->addWidget(m_edtName, 1, 1, 1, 3);

    m_bitBtnAdd = NamedButton(this, "BitBtnAdd", QStringLiteral("增加(&A)"));
    m_bitBtnDel = NamedButton(this, "BitBtnDel", QStringLiteral("删除(&D)"));
    m_seSkinButton1 = NamedButton(this, "SeSkinButton1", QStringLiteral("关闭(&E)"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {m_bitBtnAdd, m_bitBtnDel, m_seSkinButton1})
        buttons->addWidget(b);
    connect(m_bitBtnAdd, &QPushButton::clicked, this, &TfmCalendar::BitBtnAddClick);
    connect(m_bitBtnDel, &QPushButton::clicked, this, &TfmCalendar::BitBtnDelClick);
    connect(m_seSkinButton1, &QPushButton::clicked, this, &TfmCalendar::SeSkinButton1Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dbGrid1, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    Reload();
}

void TfmCalendar::Reload(const QDate& select) {
    Guarded([&] { m_days = ReadCalendar(); });
    m_dbGrid1->setRowCount(int(m_days.size()));
    int selected = -1;
    for (int r = 0; r < m_days.size(); ++r) {
        const CalendarDay& day = m_days.at(r);
        const QStringList cells = {DateText(day.date), DayOfWeek(day.date), CalendarKindText(day.kind),
                                   day.name};
        for (int c = 0; c < cells.size(); ++c)
            m_dbGrid1->setItem(r, c, new QTableWidgetItem(cells.at(c)));
        if (day.date == select) selected = r;
    }
    m_bitBtnDel->setEnabled(!m_days.isEmpty());
    if (selected >= 0) m_dbGrid1->setCurrentCell(selected, 0);
}

void TfmCalendar::GridRowChanged(int row) {
    if (row < 0 || row >= m_days.size()) return;
    const CalendarDay& day = m_days.at(row);
    m_dpDate->setDate(day.date);
    (day.kind == CalendarKind::Workday ? m_rbWorkday : m_rbHoliday)->setChecked(true);
    m_edtName->setText(day.name);
}

void TfmCalendar::BitBtnAddClick() {
    const CalendarDay day{m_dpDate->date(),
                          m_rbWorkday->isChecked() ? CalendarKind::Workday : CalendarKind::Holiday,
                          m_edtName->text().trimmed()};
    if (Guarded([&] { SetCalendarDay(day); })) Reload(day.date);
}

void TfmCalendar::BitBtnDelClick() {
    const int row = m_dbGrid1->currentRow();
    if (row < 0 || row >= m_days.size()) return;
    const CalendarDay day = m_days.at(row);
    const QString item = (DateText(day.date) + QLatin1Char(' ') + day.name).trimmed();
    if (!Prompt().ask(QStringLiteral("提示"),
                      QStringLiteral("将要删除[ %1 ] %2？").arg(item, CalendarKindText(day.kind))))
        return;
    Guarded([&] { DeleteCalendarDay(day.date); });
    Reload();
}

void TfmCalendar::SeSkinButton1Click() {
    close();
}

} // namespace kq
