#pragma once

class QTableView;
class QWidget;

namespace kq {

// The width of a cell that shows a text of the given width in GBK bytes (a Chinese character
// taking two) in the widget's font, with the cell's margins.
int CellWidthForBytes(const QWidget* widget, int bytes);

// Widens every column of a table to at least its header's caption; returns the sum of the widths.
int WidenToHeaders(QTableView* table);

// Widens the columns to their captions and keeps the table wide enough to show all its columns,
// its row header and a vertical scroll bar without scrolling sideways. Call it after setting the
// designed widths.
void ShowAllColumns(QTableView* table);

} // namespace kq
