#include "gui/widgets/tablefit.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

namespace kq {

int CellWidthForBytes(const QWidget* widget, int bytes) {
    // Two bytes take the width of one Chinese character.
    const int text = widget->fontMetrics().horizontalAdvance(QString(bytes / 2, QChar(0x4E2D)));
    const int margin = widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return text + 2 * margin + 2;
}

int WidenToHeaders(QTableView* table) {
    QHeaderView* header = table->horizontalHeader();
    const int count = header->count();
    int columns = 0;
    for (int c = 0; c < count; ++c) {
        const int wanted = qMax(table->columnWidth(c), header->sectionSizeHint(c));
        // A stretched last section follows the table's width; its width only counts.
        if (!(header->stretchLastSection() && c == count - 1)) table->setColumnWidth(c, wanted);
        columns += wanted;
    }
    return columns;
}

void ShowAllColumns(QTableView* table) {
    const int columns = WidenToHeaders(table);
    const QHeaderView* rows = table->verticalHeader();
    // The width the table gives its row header (as QTableView does), fixed or from its contents.
    const int rowHeader =
        rows->isHidden() ? 0 : qBound(rows->minimumWidth(), rows->sizeHint().width(), rows->maximumWidth());
    const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
    table->setMinimumWidth(columns + rowHeader + scrollBar + 2 * table->frameWidth());
}

} // namespace kq
