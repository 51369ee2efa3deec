// The keyboard focus frame of tiles and lamps.
#pragma once

#include <QPainter>

namespace horokata {

// Black, white and black rings of `ring` pixels each, just inside the widget's edge: clear on
// every tile colour and every board gradient.
inline void drawFocusFrame(QPainter &p, const QRect &r, int ring)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    const QColor colors[3] = {QColor(0, 0, 0), QColor(255, 255, 255), QColor(0, 0, 0)};
    int inset = 0;
    for (const QColor &c : colors) {
        p.setPen(QPen(c, ring, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const qreal half = ring / 2.0;
        p.drawRect(QRectF(r).adjusted(inset + half, inset + half, -inset - half, -inset - half));
        inset += ring;
    }
    p.restore();
}

} // namespace horokata
