#include "reports/tfmfinddialog.h"

#include "data/datafolder.h"
#include "data/dataset.h"
#include "reports/datepicker.h"
#include "widgets/centeronscreen.h"

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
    SeSkinButton1 = new QPushButton(QStringLiteral("确定"), this);
    SeSkinButton1->setObjectName(QStringLiteral("SeSkinButton1"));
    SeSkinButton1->setDefault(true);
    SeSkinButton2 = new QPushButton(QStringLiteral("取消"), this);
    SeSkinButton2->setObjectName(QStringLiteral("SeSkinButton2"));
    SeSkinButton2->setAutoDefault(false);
    connect(SeSkinButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(SeSkinButton2, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("姓名"), this), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("从:"), this), 1, 0);
    grid->addWidget(BeginDate, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("到:"), this), 2, 0);
    grid->addWidget(EndDate, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SeSkinButton1);
    buttons->addWidget(SeSkinButton2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
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
