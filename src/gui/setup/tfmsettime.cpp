#include "gui/setup/tfmsettime.h"
#include "core/data/schema.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/datafolder.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/setup/shiftrules.h"
#include "gui/platform/guarded.h"
#include "gui/setup/shifttablemodel.h"
#include "gui/widgets/datasetchange.h"
#include "gui/widgets/tablefit.h"

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

TfmSetTime::TfmSetTime(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmSetTime"));
    setWindowTitle(QStringLiteral("设置班间"));

    m_model = new ShiftTableModel(&m_shifts, this);
    m_dbGrid1 = Named(new QTableView(this), "DBGrid1");
    m_dbGrid1->setModel(m_model);
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbGrid1->verticalHeader()->hide();
    m_dbGrid1->horizontalHeader()->setStretchLastSection(true);
    m_dbGrid1->verticalHeader()->setDefaultSectionSize(20);
    m_dbGrid1->setMinimumHeight(200);
    // All seven columns fit in the grid's width, the name column holds the longest name the field
    // takes; the last column takes what is left.
    const int widths[] = {40, CellWidthForBytes(m_dbGrid1, FieldWidth::ShiftName), 80, 80, 70, 70};
    for (int c = 0; c < 6; ++c)
        m_dbGrid1->setColumnWidth(c, widths[c]);
    ShowAllColumns(m_dbGrid1);
    connect(m_dbGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { GridRowChanged(current.row()); });

    m_dbEdit1 = Named(new QLineEdit(this), "DBEdit1");
    m_seSkinDBMaskEdit1 = Named(new QLineEdit(this), "SeSkinDBMaskEdit1");
    m_seSkinDBMaskEdit2 = Named(new QLineEdit(this), "SeSkinDBMaskEdit2");
    m_dbCheckBox1 = Named(new QCheckBox(QStringLiteral("标记迟到？"), this), "DBCheckBox1");
    m_dbCheckBox2 = Named(new QCheckBox(QStringLiteral("标记早退？"), this), "DBCheckBox2");
    m_dbCheckBox3 = Named(new QCheckBox(QStringLiteral("统计累计时间？"), this), "DBCheckBox3");
    for (QLineEdit* e : {m_dbEdit1, m_seSkinDBMaskEdit1, m_seSkinDBMaskEdit2})
        connect(e, &QLineEdit::textEdited, this, &TfmSetTime::BeginEdit);
    for (QLineEdit* e : {m_seSkinDBMaskEdit1, m_seSkinDBMaskEdit2})
        connect(e, &QLineEdit::editingFinished, this, [this, e] { CompleteTime(e); });
    // Tab goes through the fields row by row: each box, then the check box beside it.
    const QList<QWidget*> fieldOrder = {m_dbEdit1,     m_dbCheckBox1,       m_seSkinDBMaskEdit1,
                                        m_dbCheckBox2, m_seSkinDBMaskEdit2, m_dbCheckBox3};
    for (int i = 1; i < fieldOrder.size(); ++i)
        setTabOrder(fieldOrder.at(i - 1), fieldOrder.at(i));
    for (QCheckBox* c : {m_dbCheckBox1, m_dbCheckBox2, m_dbCheckBox3})
        connect(c, &QCheckBox::clicked, this, &TfmSetTime::BeginEdit);
    m_lateGraceEdit = Named(new QSpinBox(this), "LateGraceEdit");
    m_earlyGraceEdit = Named(new QSpinBox(this), "EarlyGraceEdit");
    for (QSpinBox* e : {m_lateGraceEdit, m_earlyGraceEdit}) {
        e->setRange(0, kMaxGraceMinutes);
        e->setSuffix(QStringLiteral(" 分钟"));
        // LoadFields sets the values with signals blocked: a change heard here is the operator's.
        connect(e, &QSpinBox::valueChanged, this, &TfmSetTime::BeginEdit);
    }

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("班时名称："), this), 0, 0);
    fields->addWidget(m_dbEdit1, 0, 1);
    fields->addWidget(m_dbCheckBox1, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("开始时间："), this), 1, 0);
    fields->addWidget(m_seSkinDBMaskEdit1, 1, 1);
    fields->addWidget(m_dbCheckBox2, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("结束时间："), this), 2, 0);
    fields->addWidget(m_seSkinDBMaskEdit2, 2, 1);
    fields->addWidget(m_dbCheckBox3, 2, 2);
    fields->addWidget(new QLabel(QStringLiteral("迟到宽限："), this), 3, 0);
    fields->addWidget(m_lateGraceEdit, 3, 1);
    fields->addWidget(new QLabel(QStringLiteral("早退宽限："), this), 4, 0);
    fields->addWidget(m_earlyGraceEdit, 4, 1);

    m_bitBtnAdd = NamedButton(this, "BitBtnAdd", QStringLiteral("增加(&A)"));
    m_bitBtnModi = NamedButton(this, "BitBtnModi", QStringLiteral("修改(&M)"));
    m_bitBtnDel = NamedButton(this, "BitBtnDel", QStringLiteral("删除(&D)"));
    m_bitBtnPost = NamedButton(this, "BitBtnPost", QStringLiteral("确定(&O)"));
    m_bitBtnCancel = NamedButton(this, "BitBtnCancel", QStringLiteral("取消(&C)"));
    m_seSkinButton1 = NamedButton(this, "SeSkinButton1", QStringLiteral("关闭(&E)"));
    connect(m_bitBtnAdd, &QPushButton::clicked, this, &TfmSetTime::BitBtnAddClick);
    connect(m_bitBtnModi, &QPushButton::clicked, this, &TfmSetTime::BitBtnModiClick);
    connect(m_bitBtnDel, &QPushButton::clicked, this, &TfmSetTime::BitBtnDelClick);
    connect(m_bitBtnPost, &QPushButton::clicked, this, &TfmSetTime::BitBtnPostClick);
    connect(m_bitBtnCancel, &QPushButton::clicked, this, &TfmSetTime::BitBtnCancelClick);
    connect(m_seSkinButton1, &QPushButton::clicked, this, &TfmSetTime::SeSkinButton1Click);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b :
         {m_bitBtnAdd, m_bitBtnModi, m_bitBtnDel, m_bitBtnPost, m_bitBtnCancel, m_seSkinButton1})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dbGrid1);
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
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TfmSetTime::FormShow() {
    Guarded([&] {
        m_shifts.close();
        m_shifts.open(DataFile(schema::ShiftTime::File), schema::ShiftTime::SerialNo);
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
    m_bitBtnAdd->setEnabled(!editing && m_shifts.isOpen());
    m_bitBtnModi->setEnabled(!editing && hasShifts);
    m_bitBtnDel->setEnabled(!editing && hasShifts);
    m_bitBtnPost->setEnabled(editing);
    m_bitBtnCancel->setEnabled(editing);
    m_dbGrid1->setEnabled(!editing);
    if (editing || m_keepFields) return;
    LoadFields();
    if (hasShifts && m_dbGrid1->currentIndex().row() != m_shifts.recNo())
        m_dbGrid1->setCurrentIndex(m_model->index(m_shifts.recNo(), ShiftTableModel::SerialNo));
}

void TfmSetTime::LoadFields() {
    const auto has = [&](const QString& field) {
        return m_shifts.isOpen() && m_shifts.fieldIndex(field) >= 0;
    };
    const auto text = [&](const QString& field) { return has(field) ? m_shifts.asString(field) : QString(); };
    const auto flag = [&](const QString& field) { return has(field) && m_shifts.asBool(field); };
    m_dbEdit1->setText(text(schema::ShiftTime::ShiftName));
    m_seSkinDBMaskEdit1->setText(text(schema::ShiftTime::BeginTime));
    m_seSkinDBMaskEdit2->setText(text(schema::ShiftTime::EndTime));
    m_dbCheckBox1->setChecked(flag(schema::ShiftTime::CheckBegin));
    m_dbCheckBox2->setChecked(flag(schema::ShiftTime::CheckEnd));
    m_dbCheckBox3->setChecked(flag(schema::ShiftTime::IsCalculate));
    for (auto [edit, field] : {std::pair{m_lateGraceEdit, schema::ShiftTime::LateGrace},
                               std::pair{m_earlyGraceEdit, schema::ShiftTime::EarlyGrace}}) {
        const QSignalBlocker quiet(edit);
        edit->setValue(has(field) ? m_shifts.asInt(field) : 0);
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
        m_dbEdit1->setFocus();
        AppendShift(m_shifts);
        LoadFields();
    });
}

void TfmSetTime::BitBtnModiClick() {
    if (!m_shifts.isOpen() || m_shifts.isEmpty() || IsEditing(&m_shifts)) return;
    Guarded([&] {
        m_shifts.edit();
        m_dbEdit1->setFocus();
    });
}

void TfmSetTime::BitBtnDelClick() {
    if (!m_shifts.isOpen() || m_shifts.isEmpty() || IsEditing(&m_shifts)) return;
    const QString name = m_shifts.asString(schema::ShiftTime::ShiftName);
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
        CheckShiftPost(m_dbEdit1->text(), m_seSkinDBMaskEdit1->text(), m_seSkinDBMaskEdit2->text(),
                       m_shifts.state() == DataSet::State::Insert, m_shifts.recordCount());
    if (!check.message.isEmpty()) {
        Prompt().message(QStringLiteral("提示"), check.message);
        if (check.focus == ShiftField::Name) m_dbEdit1->setFocus();
        if (check.focus == ShiftField::BeginTime) m_seSkinDBMaskEdit1->setFocus();
        if (check.focus == ShiftField::EndTime) m_seSkinDBMaskEdit2->setFocus();
        return;
    }
    QTime begin, end;
    if (!ReadTime(m_seSkinDBMaskEdit1, QStringLiteral("开始时间"), &begin) ||
        !ReadTime(m_seSkinDBMaskEdit2, QStringLiteral("结束时间"), &end))
        return;
    // The edit is made again on the file's current content: a new shift takes the number after
    // the last one then, a changed one must still be there as it was.
    const bool adding = m_shifts.state() == DataSet::State::Insert;
    const QVariantList stored = m_shifts.currentRow();
    const QString storedName = stored.value(m_shifts.fieldIndex(schema::ShiftTime::ShiftName)).toString();
    const ShiftValues shift{m_dbEdit1->text(),
                            begin,
                            end,
                            m_dbCheckBox1->isChecked(),
                            m_dbCheckBox2->isChecked(),
                            m_dbCheckBox3->isChecked(),
                            m_lateGraceEdit->value(),
                            m_earlyGraceEdit->value()};
    ApplyChange(m_shifts, [&] {
        if (adding) {
            if (m_shifts.recordCount() >= kMaxShifts) throw KqError(QStringLiteral("最大可设置10个班时！"));
            AppendShift(m_shifts);
        } else {
            LocateChosen(stored, storedName);
            m_shifts.edit();
        }
        StoreShift(m_shifts, shift);
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
        if (m_bitBtnCancel->isEnabled()) m_bitBtnCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kq
