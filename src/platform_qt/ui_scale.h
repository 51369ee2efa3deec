// The game's own size: every length, font and picture of its windows is drawn at the size the
// player chose (100 to 200 % of the 610 × 429 window), by the game rather than by Qt's
// process-wide scale factor, so that what the windows report (their extents to a screen
// reader, their input) is where they are on the screen.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cmath>

namespace horokata {

// The size for this run, in percent; set once at start, before any window is made.
void setUiScalePercent(int percent);
int uiScalePercent();
// The same as a factor (1.0 at 100 %).
double uiScale();

// One length at the game's size, rounded as round(v × scale).
inline int scaled(int v)
{
    return int(std::lround(v * uiScale()));
}
inline double scaledF(double v)
{
    return v * uiScale();
}
inline QPoint scaled(QPoint p)
{
    return {scaled(p.x()), scaled(p.y())};
}
inline QSize scaled(QSize s)
{
    return {scaled(s.width()), scaled(s.height())};
}
// A rectangle: its corner and its size each rounded, so that equal sizes stay equal.
inline QRect scaled(QRect r)
{
    return {scaled(r.topLeft()), scaled(r.size())};
}
inline QRect scaled(int x, int y, int w, int h)
{
    return scaled(QRect(x, y, w, h));
}
// A rectangle with each of its edges rounded on its own, so that rectangles that meet at 100 %
// meet at every size (outlines, bands, sprites side by side); empty when it rounds to nothing.
inline QRect scaledEdges(QRect r)
{
    return {scaled(r.topLeft()), QPoint(scaled(r.left() + r.width()) - 1, scaled(r.top() + r.height()) - 1)};
}
// A length on the screen back in the design's pixels (a mouse position, say).
inline int unscaled(int v)
{
    return int(std::lround(v / uiScale()));
}

// Once the application exists: its default font (menus, tooltips, table headers, and every
// control given no font of its own) made at the game's size.
void scaleApplicationFont();

// A style sheet (or a rich text's styles) written in the design's sizes, with every "Npx" and
// "Npt" made at the game's size: lengths rounded, never below one pixel where they were one.
QString scaledStyle(const QString &css);

// The percent of the picture files drawn for a window at the game's size on a screen of
// `devicePixelRatio`: the smallest drawn size not below what the screen shows (100, 125, 150,
// 175 or 200).
int artPercentFor(double devicePixelRatio);
// A file name with the suffix of the art drawn at `percent`: "a.png", "a@1.25x.png",
// "a@1.5x.png", "a@1.75x.png", "a@2x.png".
QString artFileAt(const QString &path, int percent);
// A picture drawn for the game's size on a screen of `devicePixelRatio`: the file drawn at
// artPercentFor(it), with a device pixel ratio that makes its size the design's size at the
// game's size. Falls back to the 100 % file (smoothly scaled), then to a null image. Safe to
// call from another thread.
QImage loadArtImage(const QString &path, double devicePixelRatio);
// The same for the application's screen, as a pixmap.
QPixmap loadArt(const QString &path);

} // namespace horokata
