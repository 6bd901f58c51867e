#include "gui/reports/tfmmodify.h"

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
    resize(720, 520);

    Query1 = new RecordModel({}, this);
    DBGrid1 = new RecordGrid(this);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setRecordModel(Query1);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfmModify::DataSource1DataChange);
    const auto action = [&](const char* name, const QString& caption) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        DBGrid1->addAction(a);
        return a;
    };
    PMIFilter = action("PMIFilter", QStringLiteral("过滤(&F)"));
    PMIClose = action("PMIClose", QStringLiteral("退出(&C)"));
    DBGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(PMIFilter, &QAction::triggered, this, &TfmModify::PMIFilterClick);
    connect(PMIClose, &QAction::triggered, this, &TfmModify::PMICloseClick);

    GroupBox1 = new QGroupBox(QStringLiteral("数据输入"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setMinimumWidth(700);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(GroupBox1);

    LabReason = new QLabel(QStringLiteral("未到原因"), GroupBox1);
    LabComment = new QLabel(QStringLiteral("备注"), GroupBox1);
    CBLeftReson = new QComboBox(GroupBox1);
    CBLeftReson->setObjectName(QStringLiteral("CBLeftReson"));
    CBLeftReson->setEditable(true);
    CBLeftReson->setInsertPolicy(QComboBox::NoInsert);
    connect(CBLeftReson, &QComboBox::activated, this, &TfmModify::CBLeftResonChange);
    connect(CBLeftReson->lineEdit(), &QLineEdit::textEdited, this, &TfmModify::CBLeftResonChange);
    EdtComment = new QLineEdit(GroupBox1);
    EdtComment->setObjectName(QStringLiteral("EdtComment"));
    connect(EdtComment, &QLineEdit::textEdited, this, &TfmModify::EdtCommentKeyPress);
    const auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, GroupBox1);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    BtnDelete = button("BtnDelete", QStringLiteral("删除"));
    BtnFind = button("BtnFind", QStringLiteral("过滤(&F)"));
    BtnApp = button("BtnApp", QStringLiteral("修改确认(&O)"));
    BtnCancel = button("BtnCancel", QStringLiteral("取消(&C)"));
    BtnClose = button("BtnClose", QStringLiteral("关闭(&C)"));
    BtnCancel->setDefault(true);
    BtnApp->setEnabled(false);
    BtnCancel->setEnabled(false);
    connect(BtnDelete, &QPushButton::clicked, this, &TfmModify::BtnDeleteClick);
    connect(BtnFind, &QPushButton::clicked, this, &TfmModify::BtnFindClick);
    connect(BtnApp, &QPushButton::clicked, this, &TfmModify::BtnAppClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TfmModify::BtnCancelClick);
    connect(BtnClose, &QPushButton::clicked, this, &TfmModify::BtnCloseClick);

    m_find = DefaultFindInfo(Now());
    Guarded([&] { FormCreate(); });
    LayOutInputs();
}

void TfmModify::FormCreate() {
    const RecordColumns columns = RecordColumns::Load();
    Query1->setColumns(columns);
    for (const LeaveReason& r : ReadLeaveReasons())
        CBLeftReson->addItem(r.Name);
    CBLeftReson->setCurrentIndex(-1);
    const QStringList titles = columns.titles();
    for (int n = 0; n < columns.slotTable().size(); ++n) {
        auto* label = new QLabel(titles.at(3 + n), GroupBox1);
        label->setObjectName(QStringLiteral("MyLabel%1").arg(n));
        auto* edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QStringLiteral("MyDBEdit%1").arg(n));
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, &TfmModify::TimeEditKeyPress);
        m_timeLabels << label;
        m_timeEdits << edit;
    }
    Query1->open(RecordFilter());
    showRow(0);
}

void TfmModify::LayOutInputs() {
    // Six slots per line; the rows below follow the line of the last slot. Everything moves down by
    // as much as the style draws the frame's title higher than the 15 pixels the positions allow for.
    const int top = qMax(0, GroupBox1->contentsRect().top() - 15);
    for (int n = 0; n < m_timeEdits.size(); ++n) {
        const int c = n % 6, r = n / 6;
        m_timeLabels.at(n)->setGeometry(10 + 110 * c, top + 18 + 25 * r, 50, 16);
        m_timeEdits.at(n)->setGeometry(60 + 110 * c, top + 15 + 25 * r, 55, 21);
    }
    const int rows = int(qMax<qsizetype>(m_timeEdits.size() - 1, 0) / 6);
    LabReason->setGeometry(8, top + 45 + 25 * rows, 50, 16);
    LabComment->setGeometry(216, top + 45 + 25 * rows, 30, 16);
    CBLeftReson->setGeometry(59, top + 42 + 25 * rows, 145, 21);
    EdtComment->setGeometry(248, top + 42 + 25 * rows, 361, 21);
    const int lefts[] = {162, 248, 386, 480, 608};
    QPushButton* buttons[] = {BtnDelete, BtnFind, BtnApp, BtnCancel, BtnClose};
    for (int i = 0; i < 5; ++i)
        buttons[i]->setGeometry(lefts[i], top + 70 + 25 * rows, 75, 25);
    GroupBox1->setFixedHeight(top + 102 + 25 * rows);
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
        Query1->open(filter);
        showRow(0);
    });
}

void TfmModify::showRow(int row) {
    Query1->fetchTo(row);
    row = qMin(row, Query1->rowCount() - 1);
    if (row >= 0) {
        DBGrid1->setCurrentIndex(Query1->index(row, 0)); // the change of row shows it
    } else {
        DBGrid1->setCurrentIndex(QModelIndex());
        DataSource1DataChange();
    }
}

void TfmModify::DataSource1DataChange() {
    const int row = DBGrid1->currentRow();
    const auto field = [&](int f) { return row >= 0 ? Query1->field(row, f) : QVariant(); };
    for (int n = 0; n < m_timeEdits.size(); ++n)
        m_timeEdits.at(n)->setText(field(FieldT0 + n).toString());
    EdtComment->setText(field(FieldComment).toString());
    Guarded([&] {
        const QString name = LeaveNameOf(ReadLeaveReasons(), field(FieldLeaveType).toInt());
        int index = CBLeftReson->findText(name);
        if (index < 0 && !name.trimmed().isEmpty()) {
            CBLeftReson->addItem(name);
            index = CBLeftReson->count() - 1;
        }
        CBLeftReson->setCurrentIndex(index);
        if (index < 0) CBLeftReson->setEditText(QString());
    });
}

void TfmModify::SetEditMode(bool editing) {
    m_editing = editing;
    BtnApp->setEnabled(editing);
    BtnCancel->setEnabled(editing);
    DBGrid1->setEnabled(!editing);
    QPalette palette = DBGrid1->palette();
    palette.setColor(QPalette::Base, editing ? QColor(128, 128, 128) : QColor(255, 255, 255));
    DBGrid1->setPalette(palette);
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
    const int row = DBGrid1->currentRow();
    if (row < 0) return;
    RecordEdit edit;
    edit.isn = Query1->field(row, FieldISn).toLongLong();
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
    edit.comment = EdtComment->text();
    Guarded([&] {
        edit.leaveType = LeaveTypeOf(ReadLeaveReasons(), CBLeftReson->currentText());
        UpdateRecord(edit);
        Query1->reopen();
        showRow(row);
        SetEditMode(false);
    });
}

void TfmModify::BtnCancelClick() {
    SetEditMode(false);
}

void TfmModify::BtnDeleteClick() {
    const int row = DBGrid1->currentRow();
    const QString date = row >= 0 ? Query1->field(row, FieldDate).toString() : QString();
    const QString name = row >= 0 ? Query1->field(row, FieldName).toString() : QString();
    if (!Prompt().ask(QStringLiteral("提示"),
                      QStringLiteral("将要删除[ ") + date + name + QStringLiteral(" ] 员工数据？")))
        return;
    if (row < 0) return;
    Guarded([&] {
        DeleteDay(QDate::fromString(date, QStringLiteral("yyyy-MM-dd")), name);
        Query1->reopen();
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
