#include "gui/widgets/led.h"

#include <QPainter>
#include <QRadialGradient>

namespace kq {

Led::Led(QWidget* parent) : QWidget(parent) {
    setFixedSize(17, 17);
}

void Led::setColor(const QColor& color) {
    if (color == m_color) return;
    m_color = color;
    update();
}

void Led::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    // A lit dome: a light spot towards the top left fading into the face colour.
    QRadialGradient light(face.center() - QPointF(face.width() / 5, face.height() / 5), face.width() / 1.5);
    light.setColorAt(0, m_color.lighter(170));
    light.setColorAt(1, m_color.darker(120));
    painter.setPen(QPen(m_color.darker(200), 1));
    painter.setBrush(light);
    painter.drawEllipse(face);
}

} // namespace kq
