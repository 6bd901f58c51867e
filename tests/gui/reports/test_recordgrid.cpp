#include "core/data/database.h"
#include "core/reports/recordmodel.h"
#include "gui/reports/recordgrid.h"
#include "support/tempdata.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace kq;

class RecordGridTest : public test::DataFolderTest {};

TEST_F(RecordGridTest, CellsArePaintedRedOrWhiteWithTheTextInset) {
    writeShifts({{1, "早班", "08:00:00", "17:00:00", true, true, false}});
    ExecSql(
        "insert into WorkList (DDate, Name, T0, T1) values ('2024-03-04', '张三', '08:30:00', '17:00:00')");
    RecordModel model(RecordColumns::Load());
    model.open(RecordFilter());
    RecordGrid grid;
    grid.setRecordModel(&model);
    EXPECT_EQ(grid.columnWidth(1), 60);
    EXPECT_EQ(grid.columnWidth(3), 55);
    EXPECT_EQ(grid.columnWidth(4), 55);
    model.reopen();
    EXPECT_EQ(grid.columnWidth(3), 55); // kept over a reset

    RecordGridDelegate delegate;
    const auto paint = [&](int column, bool selected) {
        QImage image(80, 24, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 80, 24);
        option.font = grid.font();
        if (selected) option.state |= QStyle::State_Selected | QStyle::State_HasFocus;
        delegate.paint(&painter, option, model.index(0, column));
        painter.end();
        return image;
    };
    struct Case {
        int column;
        bool selected;
        QColor background;
    } cases[] = {{3, false, QColor(255, 0, 0)},
                 {3, true, QColor(255, 0, 0)},
                 {4, false, QColor(255, 255, 255)},
                 {4, true, QColor(255, 255, 255)},
                 {0, true, QColor(255, 255, 255)}};
    for (const Case& c : cases) {
        const QImage image = paint(c.column, c.selected);
        bool inkInset = false, inkInside = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor px = image.pixelColor(x, y);
                if (px == c.background) continue;
                EXPECT_NE(px, QColor(Qt::blue)) << "unpainted at " << x << "," << y;
                if (x < 4 || y < 4)
                    inkInset = true;
                else
                    inkInside = true;
            }
        EXPECT_EQ(image.pixelColor(0, 0), c.background) << c.column;
        EXPECT_EQ(image.pixelColor(79, 23), c.background) << c.column;
        EXPECT_FALSE(inkInset) << c.column;
        EXPECT_TRUE(inkInside) << c.column;
    }
}
