#include "gui/setup/tfmsettime.h"

#include "core/data/datafolder.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/setup/shiftrules.h"
#include "gui/platform/guarded.h"
#include "gui/setup/shifttablemodel.h"
#include "gui/widgets/datasetchange.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace kq {

namespace {

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = Named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false); // Enter in a field must not press a button
    return b;
}

} // namespace

TfmSetTime::TfmSetTime(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSetTime"));
    setWindowTitle(QStringLiteral("设置班间"));

    m_model = new ShiftTableModel(&m_shifts, this);
    DBGrid1 = Named(new QTableView(this), "DBGrid1");
    DBGrid1->setModel(m_model);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    DBGrid1->setMinimumSize(520, 200);
    // All seven columns fit in the grid's width; the last one takes what is left.
    const int widths[] = {40, 80, 80, 80, 70, 70};
    for (int c = 0; c < 6; ++c)
        DBGrid1->setColumnWidth(c, widths[c]);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { GridRowChanged(current.row()); });

    DBEdit1 = Named(new QLineEdit(this), "DBEdit1");
    SeSkinDBMaskEdit1 = Named(new QLineEdit(this), "SeSkinDBMaskEdit1");
    SeSkinDBMaskEdit2 = Named(new QLineEdit(this), "SeSkinDBMaskEdit2");
    DBCheckBox1 = Named(new QCheckBox(QStringLiteral("标记迟到？"), this), "DBCheckBox1");
    DBCheckBox2 = Named(new QCheckBox(QStringLiteral("标记早退？"), this), "DBCheckBox2");
    DBCheckBox3 = Named(new QCheckBox(QStringLiteral("统计累计时间？"), this), "DBCheckBox3");
    for (QLineEdit* e : {DBEdit1, SeSkinDBMaskEdit1, SeSkinDBMaskEdit2})
        connect(e, &QLineEdit::textEdited, this, &TfmSetTime::BeginEdit);
    for (QLineEdit* e : {SeSkinDBMaskEdit1, SeSkinDBMaskEdit2})
        connect(e, &QLineEdit::editingFinished, this, [this, e] { CompleteTime(e); });
    for (QCheckBox* c : {DBCheckBox1, DBCheckBox2, DBCheckBox3})
        connect(c, &QCheckBox::clicked, this, &TfmSetTime::BeginEdit);
    LateGraceEdit = Named(new QSpinBox(this), "LateGraceEdit");
    EarlyGraceEdit = Named(new QSpinBox(this), "EarlyGraceEdit");
    for (QSpinBox* e : {LateGraceEdit, EarlyGraceEdit}) {
        e->setRange(0, kMaxGraceMinutes);
        e->setSuffix(QStringLiteral(" 分钟"));
        // LoadFields sets the values with signals blocked: a change heard here is the operator's.
        connect(e, &QSpinBox::valueChanged, this, &TfmSetTime::BeginEdit);
    }

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("班时名称："), this), 0, 0);
    fields->addWidget(DBEdit1, 0, 1);
    fields->addWidget(DBCheckBox1, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("开始时间："), this), 1, 0);
    fields->addWidget(SeSkinDBMaskEdit1, 1, 1);
    fields->addWidget(DBCheckBox2, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("结束时间："), this), 2, 0);
    fields->addWidget(SeSkinDBMaskEdit2, 2, 1);
    fields->addWidget(DBCheckBox3, 2, 2);
    fields->addWidget(new QLabel(QStringLiteral("迟到宽限："), this), 3, 0);
    fields->addWidget(LateGraceEdit, 3, 1);
    fields->addWidget(new QLabel(QStringLiteral("早退宽限："), this), 4, 0);
    fields->addWidget(EarlyGraceEdit, 4, 1);

    BitBtnAdd = Button(this, "BitBtnAdd", QStringLiteral("增加(&A)"));
    BitBtnModi = Button(this, "BitBtnModi", QStringLiteral("修改(&M)"));
    BitBtnDel = Button(this, "BitBtnDel", QStringLiteral("删除(&D)"));
    BitBtnPost = Button(this, "BitBtnPost", QStringLiteral("确定(&O)"));
    BitBtnCancel = Button(this, "BitBtnCancel", QStringLiteral("取消(&C)"));
    SeSkinButton1 = Button(this, "SeSkinButton1", QStringLiteral("关闭(&E)"));
    connect(BitBtnAdd, &QPushButton::clicked, this, &TfmSetTime::BitBtnAddClick);
    connect(BitBtnModi, &QPushButton::clicked, this, &TfmSetTime::BitBtnModiClick);
    connect(BitBtnDel, &QPushButton::clicked, this, &TfmSetTime::BitBtnDelClick);
    connect(BitBtnPost, &QPushButton::clicked, this, &TfmSetTime::BitBtnPostClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TfmSetTime::BitBtnCancelClick);
    connect(SeSkinButton1, &QPushButton::clicked, this, &TfmSetTime::SeSkinButton1Click);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtnAdd, BitBtnModi, BitBtnDel, BitBtnPost, BitBtnCancel, SeSkinButton1})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    // The model resets on every change, so it hears the dataset before the window does.
    connect(&m_shifts, &DataSet::dataChanged, this, &TfmSetTime::DataSource1DataChange);
    connect(&m_shifts, &DataSet::stateChanged, this, &TfmSetTime::DataSource1DataChange);
    DataSource1DataChange();
}

TfmSetTime::~TfmSetTime() = default;

void TfmSetTime::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfmSetTime::FormShow() {
    Guarded([&] {
        m_shifts.close();
        m_shifts.open(DataFile(QStringLiteral("ShiftTime.dat")), QStringLiteral("SerialNo"));
        m_shifts.addFields(ShiftGraceFields());
        // A damaged file that lacks a field is refused here, once, and not at every repaint.
        try {
            for (const FieldDef& field : ShiftTimeFields())
                m_shifts.value(field.name);
        } catch (const KqError&) {
            m_shifts.close();
            throw;
        }
    });
    DataSource1DataChange();
}

void TfmSetTime::done(int result) {
    if (!FormClose()) return;
    QDialog::done(result);
}

bool TfmSetTime::FormClose() {
    return CloseDataSet(m_shifts);
}

void TfmSetTime::DataSource1DataChange() {
    const bool editing = IsEditing(&m_shifts);
    const bool hasShifts = m_shifts.isOpen() && !m_shifts.isEmpty();
    BitBtnAdd->setEnabled(!editing && m_shifts.isOpen());
    BitBtnModi->setEnabled(!editing && hasShifts);
    BitBtnDel->setEnabled(!editing && hasShifts);
    BitBtnPost->setEnabled(editing);
    BitBtnCancel->setEnabled(editing);
    DBGrid1->setEnabled(!editing);
    if (editing || m_keepFields) return;
    LoadFields();
    if (hasShifts && DBGrid1->currentIndex().row() != m_shifts.recNo())
        DBGrid1->setCurrentIndex(m_model->index(m_shifts.recNo(), ShiftTableModel::SerialNo));
}

void TfmSetTime::LoadFields() {
    const auto has = [&](const char* field) {
        return m_shifts.isOpen() && m_shifts.fieldIndex(QLatin1String(field)) >= 0;
    };
    const auto text = [&](const char* field) {
        return has(field) ? m_shifts.asString(QLatin1String(field)) : QString();
    };
    const auto flag = [&](const char* field) { return has(field) && m_shifts.asBool(QLatin1String(field)); };
    DBEdit1->setText(text("ShiftName"));
    SeSkinDBMaskEdit1->setText(text("BeginTime"));
    SeSkinDBMaskEdit2->setText(text("EndTime"));
    DBCheckBox1->setChecked(flag("CheckBegin"));
    DBCheckBox2->setChecked(flag("CheckEnd"));
    DBCheckBox3->setChecked(flag("IsCalculate"));
    for (auto [edit, field] :
         {std::pair{LateGraceEdit, "LateGrace"}, std::pair{EarlyGraceEdit, "EarlyGrace"}}) {
        const QSignalBlocker quiet(edit);
        edit->setValue(has(field) ? m_shifts.asInt(QLatin1String(field)) : 0);
    }
}

void TfmSetTime::GridRowChanged(int row) {
    if (row < 0 || IsEditing(&m_shifts) || !m_shifts.isOpen() || row == m_shifts.recNo()) return;
    m_shifts.moveTo(row);
}

// Typing into a field or ticking a box starts modifying the current shift; on an empty list it
// starts a new one, so that it gets its SerialNo.
void TfmSetTime::BeginEdit() {
    if (!m_shifts.isOpen() || IsEditing(&m_shifts)) return;
    const QScopedValueRollback<bool> keep(m_keepFields, true); // what was typed stays
    if (m_shifts.isEmpty())
        AppendShift(m_shifts);
    else
        m_shifts.edit();
}

void TfmSetTime::CompleteTime(QLineEdit* edit) {
    const QTime t = ParseTimeText(edit->text());
    if (t.isValid()) edit->setText(TimeText(t));
}

void TfmSetTime::BitBtnAddClick() {
    if (IsEditing(&m_shifts)) return;
    Guarded([&] {
        DBEdit1->setFocus();
        AppendShift(m_shifts);
        LoadFields();
    });
}

void TfmSetTime::BitBtnModiClick() {
    if (!m_shifts.isOpen() || m_shifts.isEmpty() || IsEditing(&m_shifts)) return;
    Guarded([&] {
        m_shifts.edit();
        DBEdit1->setFocus();
    });
}

void TfmSetTime::BitBtnDelClick() {
    if (!m_shifts.isOpen() || m_shifts.isEmpty() || IsEditing(&m_shifts)) return;
    const QString name = m_shifts.asString(QStringLiteral("ShiftName"));
    const QVariantList stored = m_shifts.currentRow();
    if (!Prompt().ask(QStringLiteral("提示"), QStringLiteral("将要删除[ %1 ] 班时名称？").arg(name))) return;
    ApplyChange(m_shifts, [&] {
        LocateChosen(stored, name);
        m_shifts.remove();
        RenumberShifts(m_shifts);
    });
}

void TfmSetTime::LocateChosen(const QVariantList& stored, const QString& name) {
    if (!m_shifts.locateRow(stored))
        throw ChangedElsewhere(QStringLiteral("班时“%1”已被其他程序修改或删除，请重新选择。").arg(name));
}

bool TfmSetTime::ReadTime(QLineEdit* edit, const QString& caption, QTime* time) {
    if (Guarded([&] { *time = TimeFromText(edit->text(), caption); })) return true;
    edit->setFocus();
    return false;
}

void TfmSetTime::BitBtnPostClick() {
    if (!IsEditing(&m_shifts)) return;
    const ShiftCheck check =
        CheckShiftPost(DBEdit1->text(), SeSkinDBMaskEdit1->text(), SeSkinDBMaskEdit2->text(),
                       m_shifts.state() == DataSet::State::Insert, m_shifts.recordCount());
    if (!check.message.isEmpty()) {
        Prompt().message(QStringLiteral("提示"), check.message);
        if (check.focus == ShiftField::Name) DBEdit1->setFocus();
        if (check.focus == ShiftField::BeginTime) SeSkinDBMaskEdit1->setFocus();
        if (check.focus == ShiftField::EndTime) SeSkinDBMaskEdit2->setFocus();
        return;
    }
    QTime begin, end;
    if (!ReadTime(SeSkinDBMaskEdit1, QStringLiteral("开始时间"), &begin) ||
        !ReadTime(SeSkinDBMaskEdit2, QStringLiteral("结束时间"), &end))
        return;
    // The edit is made again on the file's current content: a new shift takes the number after
    // the last one then, a changed one must still be there as it was.
    const bool adding = m_shifts.state() == DataSet::State::Insert;
    const QVariantList stored = m_shifts.currentRow();
    const QString storedName = stored.value(m_shifts.fieldIndex(QStringLiteral("ShiftName"))).toString();
    const QString name = DBEdit1->text();
    const bool late = DBCheckBox1->isChecked(), early = DBCheckBox2->isChecked(),
               accumulate = DBCheckBox3->isChecked();
    const int lateGrace = LateGraceEdit->value(), earlyGrace = EarlyGraceEdit->value();
    ApplyChange(m_shifts, [&] {
        if (adding) {
            if (m_shifts.recordCount() >= kMaxShifts) throw KqError(QStringLiteral("最大可设置10个班时！"));
            AppendShift(m_shifts);
        } else {
            LocateChosen(stored, storedName);
            m_shifts.edit();
        }
        m_shifts.setValue(QStringLiteral("ShiftName"), name);
        m_shifts.setValue(QStringLiteral("BeginTime"), begin);
        m_shifts.setValue(QStringLiteral("EndTime"), end);
        m_shifts.setValue(QStringLiteral("CheckBegin"), late);
        m_shifts.setValue(QStringLiteral("CheckEnd"), early);
        m_shifts.setValue(QStringLiteral("IsCalculate"), accumulate);
        m_shifts.setValue(QStringLiteral("LateGrace"), lateGrace);
        m_shifts.setValue(QStringLiteral("EarlyGrace"), earlyGrace);
        m_shifts.post();
    });
}

void TfmSetTime::BitBtnCancelClick() {
    Guarded([&] { m_shifts.cancel(); });
}

void TfmSetTime::SeSkinButton1Click() {
    close();
}

void TfmSetTime::keyPressEvent(QKeyEvent* event) {
    // Esc is the cancel button's key; it never closes the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (BitBtnCancel->isEnabled()) BitBtnCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kq
