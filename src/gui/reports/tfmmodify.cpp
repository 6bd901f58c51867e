#include "gui/reports/tfmmodify.h"
#include "gui/widgets/centeronscreen.h"
#include "gui/widgets/namedwidgets.h"

#include "core/data/shared.h"
#include "core/reports/correction.h"
#include "core/reports/leavereasons.h"
#include "core/reports/recordmodel.h"
#include "gui/platform/guarded.h"
#include "gui/reports/recordgrid.h"
#include "gui/reports/tfmfinddialog.h"

#include <QAction>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kq {

namespace {

const QString kTimeError = QStringLiteral("输入时间错误！正确的格式为 hh:mm:ss");

} // namespace

TfmModify::TfmModify(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmModify"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_WindowPropagation); // takes the font of the window that opens it
    setWindowTitle(QStringLiteral("数据修改"));

    m_query1 = new RecordModel({}, this);
    m_dbGrid1 = new RecordGrid(this);
    m_dbGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbGrid1->setRecordModel(m_query1);
    connect(m_dbGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfmModify::DataSource1DataChange);
    const auto action = [&](const char* name, const QString& caption) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        m_dbGrid1->addAction(a);
        return a;
    };
    m_pmiFilter = action("PMIFilter", QStringLiteral("过滤(&F)"));
    m_pmiClose = action("PMIClose", QStringLiteral("退出(&C)"));
    m_dbGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_pmiFilter, &QAction::triggered, this, &TfmModify::PMIFilterClick);
    connect(m_pmiClose, &QAction::triggered, this, &TfmModify::PMICloseClick);

    m_groupBox1 = new QGroupBox(QStringLiteral("数据输入"), this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1->setMinimumWidth(700);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_dbGrid1, 1);
    layout->addWidget(m_groupBox1);

    m_labReason = new QLabel(QStringLiteral("未到原因"), m_groupBox1);
    m_labComment = new QLabel(QStringLiteral("备注"), m_groupBox1);
    m_cbLeftReson = new QComboBox(m_groupBox1);
    m_cbLeftReson->setObjectName(QStringLiteral("CBLeftReson"));
    m_cbLeftReson->setEditable(true);
    m_cbLeftReson->setInsertPolicy(QComboBox::NoInsert);
    connect(m_cbLeftReson, &QComboBox::activated, this, &TfmModify::CBLeftResonChange);
    connect(m_cbLeftReson->lineEdit(), &QLineEdit::textEdited, this, &TfmModify::CBLeftResonChange);
    m_edtComment = new QLineEdit(m_groupBox1);
    m_edtComment->setObjectName(QStringLiteral("EdtComment"));
    connect(m_edtComment, &QLineEdit::textEdited, this, &TfmModify::EdtCommentKeyPress);
    const auto button = [&](const char* name, const QString& caption) {
        return NamedButton(m_groupBox1, name, caption);
    };
    m_btnDelete = button("BtnDelete", QStringLiteral("删除"));
    m_btnFind = button("BtnFind", QStringLiteral("过滤(&F)"));
    m_btnApp = button("BtnApp", QStringLiteral("修改确认(&O)"));
    m_btnCancel = button("BtnCancel", QStringLiteral("取消(&C)"));
    m_btnClose = button("BtnClose", QStringLiteral("关闭(&C)"));
    m_btnCancel->setDefault(true);
    m_btnApp->setEnabled(false);
    m_btnCancel->setEnabled(false);
    connect(m_btnDelete, &QPushButton::clicked, this, &TfmModify::BtnDeleteClick);
    connect(m_btnFind, &QPushButton::clicked, this, &TfmModify::BtnFindClick);
    connect(m_btnApp, &QPushButton::clicked, this, &TfmModify::BtnAppClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TfmModify::BtnCancelClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TfmModify::BtnCloseClick);

    m_find = DefaultFindInfo(Now());
    Guarded([&] { FormCreate(); });
    LayOutInputs();
    FitOnScreen(this, QSize(720, 520));
}

void TfmModify::FormCreate() {
    const RecordColumns columns = RecordColumns::Load();
    m_query1->setColumns(columns);
    for (const LeaveReason& r : ReadLeaveReasons())
        m_cbLeftReson->addItem(r.Name);
    m_cbLeftReson->setCurrentIndex(-1);
    const QStringList titles = columns.titles();
    for (int n = 0; n < columns.slotTable().size(); ++n) {
        auto* label = new QLabel(titles.at(3 + n), m_groupBox1);
        label->setObjectName(QStringLiteral("MyLabel%1").arg(n));
        // A caption longer than its place shows whole in its tooltip.
        label->setToolTip(label->text());
        auto* edit = new QLineEdit(m_groupBox1);
        edit->setObjectName(QStringLiteral("MyDBEdit%1").arg(n));
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, &TfmModify::TimeEditKeyPress);
        m_timeLabels << label;
        m_timeEdits << edit;
    }
    // Tab goes from the grid through the slot boxes to the reason and the comment.
    QWidget* previous = m_dbGrid1;
    for (QLineEdit* edit : qAsConst(m_timeEdits)) {
        setTabOrder(previous, edit);
        previous = edit;
    }
    setTabOrder(previous, m_cbLeftReson);
    m_query1->open(RecordFilter());
    showRow(0);
}

void TfmModify::LayOutInputs() {
    // Six slots per line; the rows below follow the line of the last slot. Everything moves down by
    // as much as the style draws the frame's title higher than the 15 pixels the positions allow for.
    const int top = qMax(0, m_groupBox1->contentsRect().top() - 15);
    for (int n = 0; n < m_timeEdits.size(); ++n) {
        const int c = n % 6, r = n / 6;
        m_timeLabels.at(n)->setGeometry(10 + 110 * c, top + 18 + 25 * r, 50, 16);
        m_timeEdits.at(n)->setGeometry(60 + 110 * c, top + 15 + 25 * r, 55, 21);
    }
    const int rows = int(qMax<qsizetype>(m_timeEdits.size() - 1, 0) / 6);
    m_labReason->setGeometry(8, top + 45 + 25 * rows, 50, 16);
    m_labComment->setGeometry(216, top + 45 + 25 * rows, 30, 16);
    m_cbLeftReson->setGeometry(59, top + 42 + 25 * rows, 145, 21);
    m_edtComment->setGeometry(248, top + 42 + 25 * rows, 361, 21);
    const int lefts[] = {162, 248, 386, 480, 608};
    QPushButton* buttons[] = {m_btnDelete, m_btnFind, m_btnApp, m_btnCancel, m_btnClose};
    for (int i = 0; i < 5; ++i)
        buttons[i]->setGeometry(lefts[i], top + 70 + 25 * rows, 75, 25);
    m_groupBox1->setFixedHeight(top + 102 + 25 * rows);
}

void TfmModify::BtnFindClick() {
    Guarded([&] {
        TakeFindResult(m_find, ShowFindDialog(m_find, this));
        if (m_find.Confirmed) Refresh();
    });
}

void TfmModify::Refresh() {
    if (m_find.Name.trimmed().isEmpty()) return;
    Guarded([&] {
        const RecordFilter filter =
            RecordFilter::Period(m_find.Name, m_find.BeginDate.date(), m_find.EndDate.date());
        CompletePeriod(filter.name, filter.first, filter.last);
        m_query1->open(filter);
        showRow(0);
    });
}

void TfmModify::showRow(int row) {
    m_query1->fetchTo(row);
    row = qMin(row, m_query1->rowCount() - 1);
    if (row >= 0) {
        m_dbGrid1->setCurrentIndex(m_query1->index(row, 0)); // the change of row shows it
    } else {
        m_dbGrid1->setCurrentIndex(QModelIndex());
        DataSource1DataChange();
    }
}

void TfmModify::DataSource1DataChange() {
    const int row = m_dbGrid1->currentRow();
    const auto field = [&](int f) { return row >= 0 ? m_query1->field(row, f) : QVariant(); };
    for (int n = 0; n < m_timeEdits.size(); ++n)
        m_timeEdits.at(n)->setText(field(FieldT0 + n).toString());
    m_edtComment->setText(field(FieldComment).toString());
    Guarded([&] {
        const QString name = LeaveNameOf(ReadLeaveReasons(), field(FieldLeaveType).toInt());
        int index = m_cbLeftReson->findText(name);
        if (index < 0 && !name.trimmed().isEmpty()) {
            m_cbLeftReson->addItem(name);
            index = m_cbLeftReson->count() - 1;
        }
        m_cbLeftReson->setCurrentIndex(index);
        if (index < 0) m_cbLeftReson->setEditText(QString());
    });
}

void TfmModify::SetEditMode(bool editing) {
    m_editing = editing;
    m_btnApp->setEnabled(editing);
    m_btnCancel->setEnabled(editing);
    m_dbGrid1->setEnabled(!editing);
    QPalette palette = m_dbGrid1->palette();
    palette.setColor(QPalette::Base, editing ? QColor(128, 128, 128) : QColor(255, 255, 255));
    m_dbGrid1->setPalette(palette);
}

void TfmModify::TimeEditKeyPress() {
    SetEditMode(true);
}

void TfmModify::EdtCommentKeyPress() {
    SetEditMode(true);
}

void TfmModify::CBLeftResonChange() {
    SetEditMode(true);
}

bool TfmModify::TimeEditExit(QLineEdit* edit) {
    const QString text = edit->text();
    if (text.trimmed().isEmpty()) return true;
    const QTime time = ParseTypedTime(text);
    if (!time.isValid()) return refuseTime(edit);
    edit->setText(TimeText(time));
    return true;
}

bool TfmModify::refuseTime(QLineEdit* edit) {
    // The message box takes the focus from the box; that is no leaving of the box.
    m_checking = true;
    edit->setFocus();
    Prompt().message(QStringLiteral("提示"), kTimeError, Prompter::Icon::Information);
    m_checking = false;
    return false;
}

void TfmModify::BtnAppClick() {
    const int row = m_dbGrid1->currentRow();
    if (row < 0) return;
    RecordEdit edit;
    edit.isn = m_query1->field(row, FieldISn).toLongLong();
    for (int n = 0; n < m_timeEdits.size(); ++n) {
        QLineEdit* box = m_timeEdits.at(n);
        if (box->text().trimmed().isEmpty()) continue;
        const QTime time = ParseTypedTime(box->text());
        if (!time.isValid()) {
            refuseTime(box);
            return;
        }
        edit.times.insert(n, time);
    }
    edit.comment = m_edtComment->text();
    Guarded([&] {
        edit.leaveType = LeaveTypeOf(ReadLeaveReasons(), m_cbLeftReson->currentText());
        UpdateRecord(edit);
        m_query1->reopen();
        showRow(row);
        SetEditMode(false);
    });
}

void TfmModify::BtnCancelClick() {
    SetEditMode(false);
}

void TfmModify::BtnDeleteClick() {
    const int row = m_dbGrid1->currentRow();
    const QString date = row >= 0 ? m_query1->field(row, FieldDate).toString() : QString();
    const QString name = row >= 0 ? m_query1->field(row, FieldName).toString() : QString();
    if (!Prompt().ask(QStringLiteral("提示"),
                      QStringLiteral("将要删除[ ") + date + name + QStringLiteral(" ] 员工数据？")))
        return;
    if (row < 0) return;
    Guarded([&] {
        DeleteDay(QDate::fromString(date, QStringLiteral("yyyy-MM-dd")), name);
        m_query1->reopen();
        showRow(0);
    });
}

void TfmModify::BtnCloseClick() {
    close();
}

bool TfmModify::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_checking) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* edit = qobject_cast<QLineEdit*>(watched);
        // Switching windows or opening a popup does not leave the box.
        if (edit && m_timeEdits.contains(edit) && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason)
            TimeEditExit(edit);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kq
