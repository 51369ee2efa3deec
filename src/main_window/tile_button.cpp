// A tile of the board: a toggle drawn as a push button that reports press and release.
#include "main_window/tile_button.h"
#include "platform_qt/ui_scale.h"

#include "main_window/focus_frame.h"
#include "main_window/qt_colors.h"

#include <QMouseEvent>
#include <QPainter>

namespace horokata {

TileButton::TileButton(int index, QWidget *parent) : QAbstractButton(parent), index_(index)
{
    setCheckable(true);
    // Focus comes from the keys only: a click never gives it (the click moves it away).
    setFocusPolicy(Qt::TabFocus);
    setObjectName(QStringLiteral("MOJI_%1").arg(index));
}

// What a screen reader hears of a marked tile.
static const QString kHintedWords = QStringLiteral("ヒント：熟語の最初の字");

void TileButton::setHinted(bool hinted)
{
    if (hinted == hinted_)
        return;
    hinted_ = hinted;
    // The description also carries the board's news while the tile has the focus: the mark's
    // words replace only an empty description or their own.
    if (hinted && accessibleDescription().isEmpty())
        setAccessibleDescription(kHintedWords);
    else if (!hinted && accessibleDescription() == kHintedWords)
        setAccessibleDescription(QString());
    update();
}

void TileButton::setColors(Rgb back, Rgb fore)
{
    if (back == back_ && fore == fore_)
        return;
    back_ = back;
    fore_ = fore;
    update();
}

void TileButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    // A picked tile stays down; a tile under a held left button looks down until release.
    const bool down = isChecked() || isDown();
    const QColor base = toQColor(back_);
    p.fillRect(r, down ? base.darker(118) : base);
    // Raised or sunken bevel, two pixels like a classic push button.
    const QColor light = down ? base.darker(190) : base.lighter(160);
    const QColor dark = down ? base.lighter(150) : base.darker(200);
    for (int k = 0; k < scaled(2); ++k) {
        p.setPen(light);
        p.drawLine(k, k, r.width() - 2 - k, k);
        p.drawLine(k, k, k, r.height() - 2 - k);
        p.setPen(dark);
        p.drawLine(k, r.height() - 1 - k, r.width() - 1 - k, r.height() - 1 - k);
        p.drawLine(r.width() - 1 - k, k, r.width() - 1 - k, r.height() - 1 - k);
    }
    p.setFont(font());
    p.setPen(toQColor(fore_));
    const int sink = down ? scaled(1) : 0;
    p.drawText(r.translated(sink, sink), Qt::AlignCenter, text());
    if (hinted_) {
        // A red corner flag at the top left, clear of the character.
        const int side = r.width() / 4;
        const int edge = scaled(2);
        const QPoint corner[3] = {QPoint(edge, edge), QPoint(edge + side, edge), QPoint(edge, edge + side)};
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawPolygon(corner, 3);
    }
    if (hasFocus())
        drawFocusFrame(p, r, scaled(2));
}

void TileButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        held_ = true;
        setDown(true);
    }
    pressed_ |= e->button();
    emit pressedWith(index_, e->button());
}

void TileButton::mouseMoveEvent(QMouseEvent *e)
{
    // Like a push button: down while the held pointer is over the tile, up while it is off.
    if (held_)
        setDown(rect().contains(e->position().toPoint()));
}

void TileButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        held_ = false;
        setDown(false);
    }
    // The release of a click that skipped the celebration lands here with no press before it.
    if (!(pressed_ & e->button()))
        return;
    pressed_ &= ~e->button();
    emit releasedWith(index_, e->button(), rect().contains(e->position().toPoint()));
}

} // namespace horokata
