#include "gui/reports/tfmfinddialog.h"

#include "core/data/datafolder.h"
#include "core/data/dataset.h"
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
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(20);
    BeginDate = MakeDatePicker("BeginDate", values.BeginDate.date(), this);
    EndDate = MakeDatePicker("EndDate", values.EndDate.date(), this);
    const DialogButtons buttons = MakeDialogButtons(this, "SeSkinButton1", "SeSkinButton2");
    SeSkinButton1 = buttons.ok;
    SeSkinButton2 = buttons.cancel;
    connect(SeSkinButton1, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("姓名"), this), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("从:"), this), 1, 0);
    grid->addWidget(BeginDate, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("到:"), this), 2, 0);
    grid->addWidget(EndDate, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow(buttons));
}

void TfmFindDialog::FormShow() {
    DataSet ds;
    ds.open(DataFile(QStringLiteral("Employee.dat")));
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(QStringLiteral("SName"));
    ds.close();
    ComboBox1->clear();
    ComboBox1->addItems(names);
    ComboBox1->setEditText(m_name);
}

TFindInfo TfmFindDialog::values() const {
    TFindInfo info;
    info.Name = ComboBox1->currentText();
    info.BeginDate = QDateTime(BeginDate->date(), m_beginTime);
    info.EndDate = QDateTime(EndDate->date(), m_endTime);
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
