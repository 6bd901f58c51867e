#include "gui/reports/recordgrid.h"

#include "core/reports/recordmodel.h"
#include "gui/widgets/tablefit.h"

#include <QHeaderView>
#include <QPainter>

namespace kq {

namespace {

constexpr int kTextInset = 4;

} // namespace

void RecordGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const bool marked = index.data(RecordModel::MarkedRole).toBool();
    painter->save();
    painter->fillRect(option.rect, marked ? QColor(255, 0, 0) : QColor(255, 255, 255));
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(kTextInset, kTextInset, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
    painter->restore();
}

QSize RecordGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics fm(option.font);
    return QSize(fm.horizontalAdvance(index.data().toString()) + 2 * kTextInset,
                 fm.height() + 2 * kTextInset);
}

RecordGrid::RecordGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid1"));
    setItemDelegate(new RecordGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2 * kTextInset);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
}

void RecordGrid::setRecordModel(RecordModel* model) {
    m_model = model;
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &RecordGrid::applyWidths);
    applyWidths();
}

int RecordGrid::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

QModelIndex RecordGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveEnd && m_model && m_model->canFetchMore(QModelIndex()))
        m_model->fetchMore(QModelIndex());
    return QTableView::moveCursor(action, modifiers);
}

void RecordGrid::applyWidths() {
    if (!m_model) return;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (m_model->columns().isDayOfWeek(c))
            setColumnWidth(c, 60);
        else if (m_model->columns().slotOf(c) >= 0)
            setColumnWidth(c, 55);
    }
    WidenToHeaders(this);
}

} // namespace kq
