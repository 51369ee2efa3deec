// The board area behind the tiles: paints the colour gradient and reports presses on it.
#include "main_window/board_area.h"
#include "platform_qt/ui_scale.h"

#include "main_window/qt_colors.h"
#include "puzzle/board_model.h"

#include <QMouseEvent>
#include <QPainter>

namespace horokata {

BoardArea::BoardArea(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picBACK"));
    setFrameShape(QFrame::Box);
    setLineWidth(1);
}

void BoardArea::setScheme(int scheme)
{
    if (scheme == scheme_)
        return;
    scheme_ = scheme;
    update();
}

void BoardArea::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect inside = contentsRect();
    if (scheme_ < 0) {
        p.fillRect(inside, QColor(0, 64, 0));
    } else {
        for (int i = 0; i < kGradientBands; ++i) {
            // Bands of two pixels at 100 %, edge to edge at every size.
            const QRect band = scaledEdges(QRect(0, 2 * i, 1, 2));
            p.fillRect(QRect(inside.left(), inside.top() + band.top(), inside.width(), band.height()),
                       toQColor(gradientBand(scheme_, i)));
        }
    }
    p.end();
    QFrame::paintEvent(e);
}

void BoardArea::mousePressEvent(QMouseEvent *e)
{
    emit pressedWith(e->button());
}

} // namespace horokata
