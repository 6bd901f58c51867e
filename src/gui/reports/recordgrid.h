#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

namespace kq {

class RecordModel;

// Paints a record cell: red (255, 0, 0) when the model marks it late or early, white otherwise,
// also for the current row and cell; the text in black, 4 pixels in from the top-left corner.
class RecordGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The record grid of the query and correction windows: read-only, "星期" 60 and every slot
// column 55 pixels wide.
class RecordGrid : public QTableView {
    Q_OBJECT
public:
    explicit RecordGrid(QWidget* parent = nullptr);
    void setRecordModel(RecordModel* model);
    RecordModel* recordModel() const { return m_model; }
    // The current row, or -1.
    int currentRow() const;

protected:
    // Ctrl+End goes to the last row also while the model still counts its rows.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void applyWidths();

    RecordModel* m_model = nullptr;
};

} // namespace kq
