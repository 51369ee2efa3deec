// The effect window's two pictures, painted at run time: the title emblem and the kanji sheet.
#include "effect/effect_art.h"

#include "platform_qt/fonts.h"
#include "platform_qt/ui_scale.h"

#include <QLinearGradient>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cmath>
#include <iterator>

namespace horokata {

namespace {

constexpr int kCell = 48;
constexpr int kColumns = 9;
constexpr int kRowsOfCells = 4;

// Thirty-six characters of good fortune and celebration, one per cell.
const char16_t kFestive[] = u"祝福喜慶寿賀吉幸栄華春瑞宝鶴亀松竹梅桜富豊楽笑歓輝光晴勝優勇愛和夢望彩虹";

struct TileColours {
    QColor light, dark, ink;
};

// Cycled along the sheet so neighbouring tiles differ.
const TileColours kPalette[] = {
    {QColor(255, 92, 92), QColor(176, 16, 32), QColor(255, 240, 160)},   // vermilion
    {QColor(255, 214, 64), QColor(196, 132, 0), QColor(128, 24, 24)},    // gold
    {QColor(255, 150, 200), QColor(200, 48, 120), QColor(255, 255, 255)},// peach blossom
    {QColor(120, 220, 120), QColor(16, 128, 48), QColor(255, 250, 200)}, // pine
    {QColor(120, 180, 255), QColor(24, 72, 176), QColor(255, 255, 255)}, // sky
    {QColor(200, 150, 255), QColor(104, 40, 168), QColor(255, 236, 120)},// wisteria
    {QColor(255, 176, 80), QColor(208, 88, 0), QColor(255, 255, 255)},   // persimmon
    {QColor(96, 224, 224), QColor(0, 128, 144), QColor(255, 255, 220)},  // jade
};

// A raised tile: gradient face, light upper-left edge, dark lower-right edge.
void paintTile(QPainter &p, const QRect &r, const QColor &light, const QColor &dark)
{
    QLinearGradient face(r.topLeft(), r.bottomRight());
    face.setColorAt(0.0, light);
    face.setColorAt(1.0, dark);
    p.fillRect(r, face);
    p.setPen(QPen(light.lighter(140), 2));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    p.setPen(QPen(dark.darker(150), 2));
    p.drawLine(r.left() + 1, r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top() + 1, r.right(), r.bottom());
}

// Text centred in `r` with a dark outline, so it reads over any face colour.
void paintGlyph(QPainter &p, const QRect &r, const QString &text, const QFont &font, const QColor &ink)
{
    const QFontMetricsF fm(font);
    const QRectF box = fm.tightBoundingRect(text);
    const QPointF origin(r.center().x() + 0.5 - box.center().x(), r.center().y() + 0.5 - box.center().y());
    QPainterPath path;
    path.addText(origin, font, text);
    // Outline first and fill over it, so the outline does not eat into thin strokes.
    p.strokePath(path, QPen(QColor(40, 16, 0, 220), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, ink);
}

// The screen's pixels per logical pixel.
double screenRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

// A picture of w x h picture pixels painted at the game's size on this screen, so that the
// sprites stay sharp at every size; the painter draws in picture pixels either way.
QImage canvas(int w, int h)
{
    const double pixels = uiScale() * screenRatio();
    QImage image(int(std::lround(w * pixels)), int(std::lround(h * pixels)), QImage::Format_RGB32);
    image.setDevicePixelRatio(screenRatio());
    return image;
}

QImage makeSpriteSheet()
{
    QImage sheet = canvas(kColumns * kCell, kRowsOfCells * kCell);
    sheet.fill(Qt::black);
    QPainter p(&sheet);
    p.scale(uiScale(), uiScale());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = gothicFont(28, false, true);
    font.setPixelSize(34);
    for (int i = 0; i < kColumns * kRowsOfCells; ++i) {
        const QRect cell((i % kColumns) * kCell, (i / kColumns) * kCell, kCell, kCell);
        const TileColours &c = kPalette[i % std::size(kPalette)];
        paintTile(p, cell.adjusted(1, 1, -1, -1), c.light, c.dark);
        paintGlyph(p, cell, QString(QChar(kFestive[i])), font, c.ink);
    }
    return sheet;
}

QImage makeTitleEmblem()
{
    QImage emblem = canvas(64, 64);
    emblem.fill(QColor(120, 0, 16));
    QPainter p(&emblem);
    p.scale(uiScale(), uiScale());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintTile(p, QRect(0, 0, 64, 64), QColor(255, 96, 64), QColor(150, 0, 24));
    p.setPen(QPen(QColor(255, 214, 64), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 3, 58, 58));
    QFont font = gothicFont(14, false, true);
    font.setPixelSize(24);
    const QString title = QStringLiteral("ホロカタ");
    for (int i = 0; i < 4; ++i) {
        const QRect quarter(4 + (i % 2) * 28, 4 + (i / 2) * 28, 28, 28);
        paintGlyph(p, quarter, title.mid(i, 1), font, QColor(255, 230, 120));
    }
    return emblem;
}

// A picture painted once for the size it is shown at, and again when that size changes.
struct PaintedPicture {
    QImage (*paint)();
    QImage image;
    double paintedFor = 0;

    const QImage &atCurrentSize()
    {
        if (const double pixels = uiScale() * screenRatio(); image.isNull() || paintedFor != pixels) {
            image = paint();
            paintedFor = pixels;
        }
        return image;
    }
};

} // namespace

const QImage &titleEmblem()
{
    static PaintedPicture emblem{makeTitleEmblem, {}, 0};
    return emblem.atCurrentSize();
}

const QImage &spriteSheet()
{
    static PaintedPicture sheet{makeSpriteSheet, {}, 0};
    return sheet.atCurrentSize();
}

} // namespace horokata
