#include "platform/DrawnPicture.h"

#include <QPainter>
#include <QPixmap>
#include <QRectF>

namespace platform::drawn {

QIcon render(const Draw& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen pen(const QColor& colour, qreal width) {
    QPen result(colour, width);
    result.setJoinStyle(Qt::RoundJoin);
    result.setCapStyle(Qt::RoundCap);
    return result;
}

void drawGrid(QPainter& p, const QRectF& r, const QColor& header) {
    p.setPen(pen(header.darker(140), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 1, 1);
    p.setBrush(header);
    const qreal band = r.height() * 0.28;
    p.drawRect(QRectF(r.left(), r.top(), r.width(), band));
    p.setPen(pen(header.darker(120), 0.5));
    for (int i = 1; i < 3; ++i) {
        const qreal x = r.left() + r.width() * i / 3;
        p.drawLine(QPointF(x, r.top() + band), QPointF(x, r.bottom()));
        const qreal y = r.top() + band + (r.height() - band) * i / 3;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

}  // namespace platform::drawn
