#pragma once

#include <QColor>
#include <QWidget>

namespace kq {

// A round indicator lamp whose face colour can be set.
class Led : public QWidget {
    Q_OBJECT
public:
    explicit Led(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QSize sizeHint() const override { return {17, 17}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = QColor(0, 255, 0);
};

} // namespace kq
