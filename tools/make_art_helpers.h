// make_art's small drawing helpers: deterministic noise, colour mixing, blank images, text
// fitted to a box and the CJK fonts the pictures use.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace makeart {

constexpr double kPi = 3.14159265358979323846;

// Deterministic hash noise in [0, 1).
inline double hashNoise(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u
        + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffffu) / double(0x1000000);
}

// Smooth value noise in [0, 1).
inline double valueNoise(double x, double y, std::uint32_t seed)
{
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    const double fx = x - ix;
    const double fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx);
    const double sy = fy * fy * (3 - 2 * fy);
    const double a = hashNoise(ix, iy, seed);
    const double b = hashNoise(ix + 1, iy, seed);
    const double c = hashNoise(ix, iy + 1, seed);
    const double d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

inline double fbm(double x, double y, std::uint32_t seed)
{
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < 4; ++o) {
        sum += amp * valueNoise(x, y, seed + std::uint32_t(o) * 17u);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

inline int clamp255(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

inline QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor(clamp255(a.red() + (b.red() - a.red()) * t), clamp255(a.green() + (b.green() - a.green()) * t),
                  clamp255(a.blue() + (b.blue() - a.blue()) * t));
}

inline QImage newImage(int w, int h, const QColor& fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

// A glyph string as a path, scaled and centred on its ink so that it fills `box`.
inline QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty())
        return path;
    const double s = std::min(box.width() / ink.width(), box.height() / ink.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-ink.center().x(), -ink.center().y());
    return t.map(path);
}

inline QFont cjkFont(bool serif, bool bold, int pixelSize)
{
    QFont f(serif ? QStringLiteral("Noto Serif CJK JP") : QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

} // namespace makeart
