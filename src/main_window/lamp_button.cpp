// A miss lamp of the side panel: a small flat square that acts on a release over it.
#include "main_window/lamp_button.h"
#include "platform_qt/ui_scale.h"

#include "main_window/focus_frame.h"
#include "main_window/qt_colors.h"
#include "puzzle/board_model.h"

#include <QMouseEvent>
#include <QPainter>

namespace horokata {

LampButton::LampButton(QWidget *parent) : QAbstractButton(parent), color_(kLampGreen) {}

void LampButton::setColor(Rgb color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void LampButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(r, toQColor(color_));
    p.setPen(isDown() ? QColor(0, 0, 0) : QColor(255, 255, 255));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(isDown() ? QColor(255, 255, 255) : QColor(0, 64, 0));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (hasFocus())
        drawFocusFrame(p, rect(), scaled(1));
}

void LampButton::mousePressEvent(QMouseEvent *e)
{
    held_ = true;
    setDown(true);
    e->accept();
}

void LampButton::mouseMoveEvent(QMouseEvent *e)
{
    if (held_)
        setDown(rect().contains(e->position().toPoint()));
}

void LampButton::mouseReleaseEvent(QMouseEvent *e)
{
    const bool act = held_ && rect().contains(e->position().toPoint());
    held_ = false;
    setDown(false);
    e->accept();
    if (act)
        click();
}

} // namespace horokata
