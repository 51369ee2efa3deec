// make_art: paints the main window's pictures and the game icon as PNG files.
//
// Usage: make_art [output-dir]   (default data/art)
// Everything is drawn here in code, deterministically, so the committed PNGs can be
// regenerated bit for bit. Runs headless on the offscreen platform.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include "make_art_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

using namespace makeart;

// Pixels per picture pixel: 1 for the pictures at 100 %, then 1.25, 1.5, 1.75 and 2 for the
// "@1.25x" to "@2x" ones that the larger window sizes use. Painting is done in picture pixels
// at every size; the loops that set pixels one by one go over the device pixels and look up
// the picture pixel they lie in.
double S = 1;

// A length in picture pixels as device pixels, rounded as the game rounds its sizes.
int dev(int v)
{
    return int(std::lround(v * S));
}

QImage canvas(int w, int h, const QColor& fill = Qt::transparent)
{
    QImage img = newImage(dev(w), dev(h), fill);
    img.setDevicePixelRatio(S);
    return img;
}

// The picture coordinate of device pixel `p` (its centre).
double at(int p)
{
    return (p + 0.5) / S - 0.5;
}

// A part of a picture, in picture pixels.
QImage part(const QImage& img, int x, int y, int w, int h)
{
    QImage copy = img.copy(dev(x), dev(y), dev(w), dev(h));
    copy.setDevicePixelRatio(S);
    return copy;
}

// ---- title bar ---------------------------------------------------------------------------

constexpr int kBarW = 598;
constexpr int kBarH = 23;
constexpr int kCoverX = 345;    // left edge of the cover picture in the bar
constexpr int kTextLeft = 352;  // level label and status text
constexpr int kTextRight = 540;

// Blue-wave scale pattern (overlapping concentric arcs), as an intensity mask in [0,1].
QImage wavePattern(int w, int h, double radius)
{
    QImage mask = canvas(w, h, Qt::black);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    const double stepX = radius * 2;
    const double stepY = radius / 2;
    int row = 0;
    for (double cy = -radius; cy < h + 2 * radius; cy += stepY, ++row) {
        const double offset = (row % 2) ? radius : 0;
        for (double cx = -2 * radius + offset; cx < w + 2 * radius; cx += stepX) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(cx, cy), radius, radius);
            p.setBrush(Qt::NoBrush);
            for (double r = radius - 0.5; r > 1.0; r -= radius / 4) {
                p.setPen(QPen(QColor(255, 255, 255), 0.9));
                p.drawEllipse(QPointF(cx, cy), r, r);
            }
        }
    }
    return mask;
}

// How strongly the ornament shows at column x of the bar: faint at the far left (under the
// buttons), nearly nothing behind the text, a little more at the window buttons.
double barOrnament(double x)
{
    if (x < kCoverX)
        return 0.55;
    if (x < kTextLeft)
        return 0.55 - 0.45 * (x - kCoverX) / double(kTextLeft - kCoverX);
    if (x <= kTextRight)
        return 0.10;
    return 0.10 + 0.45 * std::min(1.0, (x - kTextRight) / 16.0);
}

QImage paintTitleBar()
{
    QImage img = canvas(kBarW, kBarH);
    const QImage waves = wavePattern(kBarW, kBarH, 8.0);
    const QColor top(44, 44, 150), mid(0, 0, 120), bottom(0, 0, 72);
    const QColor wave(90, 110, 210);
    for (int py = 0; py < dev(kBarH); ++py) {
        const double t = std::clamp(at(py) / double(kBarH - 1), 0.0, 1.0);
        QColor base = t < 0.35 ? mix(top, mid, t / 0.35) : mix(mid, bottom, (t - 0.35) / 0.65);
        for (int px = 0; px < dev(kBarW); ++px) {
            const double x = at(px);
            QColor c = base;
            // Darken the text area a little more so white, green and yellow text read well.
            if (x >= kTextLeft - 4 && x <= kTextRight + 2)
                c = mix(c, QColor(0, 0, 40), 0.30);
            const double m = qRed(waves.pixel(px, py)) / 255.0 * barOrnament(x) * 0.45;
            c = mix(c, wave, m);
            const double n = (hashNoise(px, py, 7) - 0.5) * 4;
            c = QColor(clamp255(c.red() + n), clamp255(c.green() + n), clamp255(c.blue() + n));
            img.setPixelColor(px, py, c);
        }
    }
    QPainter p(&img);
    // Top highlight and a thin gold line along the bottom.
    QLinearGradient hl(0, 0, kBarW, 0);
    hl.setColorAt(0, QColor(120, 120, 220, 150));
    hl.setColorAt(0.6, QColor(100, 100, 200, 90));
    hl.setColorAt(1, QColor(120, 120, 220, 150));
    p.fillRect(QRect(0, 0, kBarW, 1), hl);
    QLinearGradient gold(0, 0, kBarW, 0);
    gold.setColorAt(0, QColor(200, 160, 60, 170));
    gold.setColorAt(0.5, QColor(230, 190, 90, 110));
    gold.setColorAt(1, QColor(200, 160, 60, 170));
    p.fillRect(QRect(0, kBarH - 1, kBarW, 1), gold);
    return img;
}

// ---- cover -------------------------------------------------------------------------------

QImage paintCover(const QImage& bar)
{
    constexpr int w = 253, h = 23;
    QImage img = canvas(w, h);
    const QImage waves = wavePattern(w, h, 8.0);
    const QColor top(30, 20, 110), bottom(10, 0, 60), wave(120, 110, 200);
    for (int py = 0; py < dev(h); ++py) {
        const QColor base = mix(top, bottom, at(py) / double(h - 1));
        for (int px = 0; px < dev(w); ++px) {
            // Ornament fades out towards the centre where the words are.
            const double d = std::abs(at(px) - w / 2.0) / (w / 2.0);
            const double m = qRed(waves.pixel(px, py)) / 255.0 * (0.15 + 0.35 * d);
            img.setPixelColor(px, py, mix(base, wave, m));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Same top and bottom edges as the bar beneath, so the seam does not show.
    p.drawImage(QPoint(0, 0), part(bar, kCoverX, 0, w, 1));
    p.drawImage(QPoint(0, h - 1), part(bar, kCoverX, h - 1, w, 1));

    const QFont font = cjkFont(true, true, 13);
    const QString words = QStringLiteral("確認中");
    QPainterPath text;
    text.addText(0, 0, font, words);
    const QRectF ink = text.boundingRect();
    text.translate(w / 2.0 - ink.center().x(), h / 2.0 - ink.center().y());
    const QRectF box = text.boundingRect();
    // Dashes drawn as gold rules on either side, with a small diamond at their outer ends.
    const QColor goldC(235, 200, 110);
    p.setPen(QPen(goldC, 1.0));
    const double cy = std::round(h / 2.0) - 0.5;
    const double gap = 8;
    p.drawLine(QPointF(box.left() - gap - 28, cy), QPointF(box.left() - gap, cy));
    p.drawLine(QPointF(box.right() + gap, cy), QPointF(box.right() + gap + 28, cy));
    p.setPen(Qt::NoPen);
    p.setBrush(goldC);
    for (double x : {box.left() - gap - 31.0, box.right() + gap + 31.0}) {
        QPainterPath dia;
        dia.moveTo(x, cy - 3);
        dia.lineTo(x + 3, cy);
        dia.lineTo(x, cy + 3);
        dia.lineTo(x - 3, cy);
        dia.closeSubpath();
        p.drawPath(dia);
    }
    p.setBrush(QColor(0, 0, 20, 200));
    p.drawPath(text.translated(1, 1));
    p.setBrush(QColor(250, 225, 150));
    p.drawPath(text);
    return img;
}

// ---- window buttons ----------------------------------------------------------------------

// A raised (or pressed) button face in rectangle r, pixel-exact bevels.
void buttonFace(QPainter& p, const QRect& r, bool pressed, const QColor& faceTop, const QColor& faceBottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, pressed ? faceBottom.darker(108) : faceTop);
    g.setColorAt(1, pressed ? faceTop.darker(112) : faceBottom);
    p.fillRect(r, g);
    const QColor outer(10, 10, 50), light(255, 255, 255), shade(90, 90, 150);
    p.setPen(outer);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect in = r.adjusted(1, 1, -2, -2);
    p.setPen(pressed ? shade : light);
    p.drawLine(in.topLeft(), in.topRight());
    p.drawLine(in.topLeft(), in.bottomLeft());
    p.setPen(pressed ? light.darker(115) : shade);
    p.drawLine(in.bottomLeft(), in.bottomRight());
    p.drawLine(in.topRight(), in.bottomRight());
}

QImage paintSys(const QImage& bar, int state)
{
    constexpr int w = 51, h = 15, barX = 544, barY = 1;
    QImage img = part(bar, barX, barY, w, h);  // the inert gap shows the bar beneath
    QPainter p(&img);
    const QColor faceTop(222, 222, 255), faceBottom(168, 168, 236);

    // Minimise: x 0..17.
    const bool minDown = state == 1;
    const QRect minR(0, 0, 18, h);
    buttonFace(p, minR, minDown, faceTop, faceBottom);
    const int o1 = minDown ? 1 : 0;
    p.fillRect(QRect(5 + o1, 10 + o1, 8, 2), QColor(0, 0, 96));

    // Close: x 35..50.
    const bool closeDown = state == 2;
    const QRect closeR(35, 0, 16, h);
    buttonFace(p, closeR, closeDown, QColor(255, 214, 222), QColor(232, 150, 170));
    const int o2 = closeDown ? 1 : 0;
    p.setPen(QColor(128, 0, 16));
    const int cx = 39 + o2, cy = 4 + o2;
    for (int i = 0; i < 7; ++i) {
        // Two-pixel-wide diagonals.
        p.drawPoint(cx + i, cy + i);
        p.drawPoint(cx + i + 1, cy + i);
        p.drawPoint(cx + 6 - i, cy + i);
        p.drawPoint(cx + 7 - i, cy + i);
    }

    return img;
}

// ---- version button ----------------------------------------------------------------------

QImage paintVersion()
{
    // The button is 25 px wide and centres this picture, but the exit button covers its
    // right 9 px, so the emblem keeps to the left 14 px and the rest stays transparent.
    constexpr int w = 21, h = 20;
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A small vermilion seal with 四 (as in 四字熟語) cut in white.
    const QRectF seal(0.5, 2.5, 13.0, 15.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 60, 0, 110));
    p.drawRoundedRect(seal.translated(0.8, 0.8), 2, 2);
    QLinearGradient g(seal.topLeft(), seal.bottomRight());
    g.setColorAt(0, QColor(236, 70, 40));
    g.setColorAt(1, QColor(170, 20, 10));
    p.setBrush(g);
    p.drawRoundedRect(seal, 2, 2);
    // At this size a hinted glyph stays sharper than a scaled outline.
    p.setPen(QColor(255, 246, 236));
    p.setFont(cjkFont(false, true, 11));
    p.drawText(seal.toAlignedRect().adjusted(0, -1, 0, 0), Qt::AlignCenter, QStringLiteral("四"));
    return img;
}

// ---- background --------------------------------------------------------------------------

constexpr int kBgW = 608;
constexpr int kBgH = 427;
const QRect kBarRect(4, 4, 600, 25);
const QRect kBoardRect(10, 34, 482, 386);
const QRect kSideRect(502, 34, 97, 386);

// Grain runs along the frame member a pixel belongs to: vertical in the stiles, horizontal
// in the rails.
bool verticalGrain(int x, int y)
{
    if (y < kBoardRect.top() - 1 || y > kBoardRect.bottom() + 1)
        return false;
    return x < kBoardRect.left() || x > kSideRect.right() || (x > kBoardRect.right() && x < kSideRect.left());
}

void goldRect(QImage& img, const QRect& r, const QColor& c)
{
    QPainter p(&img);
    p.setPen(c);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// A recess of rectangle r: a dark shadow line just outside, then a gold inlay line.
void recess(QImage& img, const QRect& r)
{
    goldRect(img, r.adjusted(-2, -2, 2, 2), QColor(196, 160, 70));
    QPainter p(&img);
    const QRect s = r.adjusted(-1, -1, 1, 1);
    p.setPen(QColor(0, 12, 4));
    p.drawLine(s.topLeft(), s.topRight());
    p.drawLine(s.topLeft(), s.bottomLeft());
    p.setPen(QColor(40, 110, 60));
    p.drawLine(s.bottomLeft() + QPoint(1, 0), s.bottomRight());
    p.drawLine(s.topRight() + QPoint(0, 1), s.bottomRight());
}

QImage paintBackground()
{
    QImage img = canvas(kBgW, kBgH);
    const QColor deep(2, 30, 14), lacquer(8, 62, 30), sheen(60, 130, 80);
    for (int py = 0; py < dev(kBgH); ++py) {
        for (int px = 0; px < dev(kBgW); ++px) {
            const double x = at(px), y = at(py);
            const bool vert = verticalGrain(int(px / S), int(py / S));
            const double along = vert ? y : x;
            const double across = vert ? x : y;
            // Wood grain seen through the lacquer: stretched noise bent into rings.
            const double warp = fbm(along * 0.012, across * 0.08, vert ? 11u : 23u);
            const double rings = 0.5 + 0.5 * std::sin((across * 0.55 + warp * 9.0) * kPi);
            const double fine = hashNoise(int(along / 3), int(across), 5);
            double t = 0.30 + 0.50 * rings + 0.20 * fine + 0.35 * (warp - 0.5);
            QColor c = mix(deep, lacquer, t);
            // Broad diagonal sheen of polished lacquer.
            const double d = (x + y * 1.4) / (kBgW + kBgH * 1.4);
            const double glow = std::exp(-std::pow((d - 0.30) / 0.10, 2)) * 0.22
                + std::exp(-std::pow((d - 0.78) / 0.06, 2)) * 0.12;
            c = mix(c, sheen, glow);
            img.setPixelColor(px, py, c);
        }
    }
    // Outer edge: a dark rim, a highlight and a gold inlay.
    {
        QPainter p(&img);
        p.setPen(QColor(0, 8, 2));
        p.drawRect(0, 0, kBgW - 1, kBgH - 1);
        p.setPen(QColor(70, 140, 90));
        p.drawLine(1, 1, kBgW - 2, 1);
        p.drawLine(1, 1, 1, kBgH - 2);
        p.setPen(QColor(0, 20, 8));
        p.drawLine(2, kBgH - 2, kBgW - 2, kBgH - 2);
        p.drawLine(kBgW - 2, 2, kBgW - 2, kBgH - 2);
    }
    recess(img, kBarRect);
    recess(img, kBoardRect);
    recess(img, kSideRect);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor gold(214, 176, 80), goldDark(120, 90, 30);
    // Small studs along the bottom rail and between board and side panel.
    auto stud = [&](int cx, int cy) {
        p.setPen(Qt::NoPen);
        p.setBrush(goldDark);
        p.drawRect(cx - 1, cy - 1, 3, 3);
        p.setBrush(gold);
        p.drawRect(cx - 1, cy - 1, 2, 2);
    };
    for (int x = 60; x < kBoardRect.right(); x += 80)
        stud(x, kBoardRect.bottom() + 4);
    stud(kSideRect.center().x(), kSideRect.bottom() + 4);
    for (int y = 80; y < kBoardRect.bottom(); y += 80)
        stud((kBoardRect.right() + kSideRect.left()) / 2 + 1, y);
    return img;
}

// ---- icon --------------------------------------------------------------------------------

QImage paintIcon(int size)
{
    QImage img = newImage(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const double m = std::max(0.5, s / 16.0 * 0.5);
    const QRectF tile(m, m, s - 2 * m - s * 0.04, s - 2 * m - s * 0.04);
    const double radius = s * 0.14;
    // Soft drop shadow.
    if (size >= 24) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 30, 0, 90));
        p.drawRoundedRect(tile.translated(s * 0.035, s * 0.035), radius, radius);
    }
    // Tile body: green with a darker lower edge, like a raised game tile.
    QLinearGradient body(tile.topLeft(), tile.bottomRight());
    body.setColorAt(0, QColor(80, 232, 80));
    body.setColorAt(0.5, QColor(0, 192, 0));
    body.setColorAt(1, QColor(0, 120, 0));
    p.setPen(size >= 32 ? QPen(QColor(0, 70, 0), std::max(1.0, s / 64.0)) : QPen(QColor(0, 80, 0), 1.0));
    p.setBrush(body);
    p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    // Face: a slightly lighter inset panel.
    const double bevel = std::max(1.5, s * 0.07);
    const QRectF face = tile.adjusted(bevel, bevel, -bevel * 1.3, -bevel * 1.3);
    QRadialGradient fg(face.topLeft() + QPointF(face.width() * 0.3, face.height() * 0.25), face.width() * 0.9);
    fg.setColorAt(0, QColor(150, 250, 150));
    fg.setColorAt(1, QColor(20, 200, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    p.drawRoundedRect(face, radius * 0.6, radius * 0.6);
    // The character: 熟 (as in 四字熟語); at the two smallest sizes the simpler 四 stays legible.
    const QString ch = size <= 24 ? QStringLiteral("四") : QStringLiteral("熟");
    const double inset = size <= 24 ? face.width() * 0.10 : face.width() * 0.08;
    if (size <= 24) {
        // Hinted text keeps the strokes on the pixel grid at the smallest sizes.
        p.setPen(QColor(0, 0, 192));
        p.setFont(cjkFont(false, true, size <= 16 ? 12 : 17));
        p.drawText(face.toAlignedRect(), Qt::AlignCenter, ch);
        return img;
    }
    const QPainterPath glyph = fittedText(ch, cjkFont(false, true, 256), face.adjusted(inset, inset, -inset, -inset));
    if (size >= 48) {
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawPath(glyph.translated(s / 96.0, s / 96.0));
    }
    p.setBrush(QColor(0, 0, 192));
    p.drawPath(glyph);
    return img;
}

bool hasTransparency(const QImage& argb)
{
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

bool save(const QImage& img, const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    // Pictures without a single see-through pixel are stored without alpha: the game then
    // decodes three bytes a pixel instead of four and skips the alpha scan and premultiply.
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    const QImage stored = hasTransparency(argb) ? argb : argb.convertToFormat(QImage::Format_RGB32);
    if (!stored.save(path, "PNG")) {
        std::fprintf(stderr, "make_art: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("data/art");
    QDir dir(outDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_art: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Noto Sans CJK JP", "Noto Serif CJK JP"})
        if (!families.contains(QString::fromLatin1(name)))
            std::fprintf(stderr, "make_art: warning: font \"%s\" not found, output will differ\n", name);

    const QImage bar = paintTitleBar();
    bool ok = save(bar, dir, QStringLiteral("titlebar.png"));
    ok &= save(paintBackground(), dir, QStringLiteral("background.png"));
    ok &= save(paintCover(bar), dir, QStringLiteral("cover.png"));
    for (int state = 0; state < 3; ++state)
        ok &= save(paintSys(bar, state), dir, QStringLiteral("sys%1.png").arg(state));
    ok &= save(paintVersion(), dir, QStringLiteral("version.png"));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= save(paintIcon(size), dir, QStringLiteral("icon-%1.png").arg(size));
    // The same pictures at the pixels of each larger window size.
    for (const auto& [scale, suffix] : {std::pair{1.25, "@1.25x"}, std::pair{1.5, "@1.5x"}, std::pair{1.75, "@1.75x"}, std::pair{2.0, "@2x"}}) {
        S = scale;
        const QString at = QString::fromLatin1(suffix);
        const QImage barAt = paintTitleBar();
        ok &= save(barAt, dir, QStringLiteral("titlebar%1.png").arg(at));
        ok &= save(paintBackground(), dir, QStringLiteral("background%1.png").arg(at));
        ok &= save(paintCover(barAt), dir, QStringLiteral("cover%1.png").arg(at));
        for (int state = 0; state < 3; ++state)
            ok &= save(paintSys(barAt, state), dir, QStringLiteral("sys%1%2.png").arg(state).arg(at));
        ok &= save(paintVersion(), dir, QStringLiteral("version%1.png").arg(at));
    }
    return ok ? 0 : 1;
}
