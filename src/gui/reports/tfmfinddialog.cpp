#include "gui/reports/tfmfinddialog.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/schema.h"
#include "gui/reports/datepicker.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/dialogbuttons.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace kq {

TfmFindDialog::TfmFindDialog(const TFindInfo& values, QWidget* parent)
    : QDialog(parent), m_name(values.Name), m_beginTime(values.BeginDate.time()),
      m_endTime(values.EndDate.time()) {
    setObjectName(QStringLiteral("fmFindDialog"));
    setAttribute(Qt::WA_WindowPropagation); // takes the font of the window that opens it
    setWindowTitle(QStringLiteral("查找信息"));
    m_comboBox1 = new QComboBox(this);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox1->setEditable(true);
    m_comboBox1->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox1->setMaxVisibleItems(20);
    m_beginDate = MakeDatePicker("BeginDate", values.BeginDate.date(), this);
    m_endDate = MakeDatePicker("EndDate", values.EndDate.date(), this);
    const DialogButtons buttons = MakeDialogButtons(this, "SeSkinButton1", "SeSkinButton2");
    m_seSkinButton1 = buttons.ok;
    m_seSkinButton2 = buttons.cancel;
    connect(m_seSkinButton1, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("姓名"), this), 0, 0);
    grid->addWidget(m_comboBox1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("从:"), this), 1, 0);
    grid->addWidget(m_beginDate, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("到:"), this), 2, 0);
    grid->addWidget(m_endDate, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow(buttons));
}

void TfmFindDialog::FormShow() {
    DataSet ds;
    ds.open(DataFile(schema::Employee::File));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(schema::Employee::SName);
    ds.close();
    m_comboBox1->clear();
    m_comboBox1->addItems(names);
    m_comboBox1->setEditText(m_name);
}

TFindInfo TfmFindDialog::values() const {
    TFindInfo info;
    info.Name = m_comboBox1->currentText();
    info.BeginDate = QDateTime(m_beginDate->date(), m_beginTime);
    info.EndDate = QDateTime(m_endDate->date(), m_endTime);
    info.Confirmed = result() == QDialog::Accepted;
    return info;
}

TFindInfo ShowFindDialog(const TFindInfo& values, QWidget* parent) {
    TfmFindDialog dialog(values, parent);
    dialog.FormShow();
    dialog.adjustSize();
    CenterOnScreen(&dialog);
    dialog.exec();
    return dialog.values();
}

} // namespace kq
