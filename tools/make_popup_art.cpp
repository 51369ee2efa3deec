// Paints the popup art (dialog and menu backgrounds, title bar, logo, arrow) into PNG files,
// each at 100 % and, as "name@1.25x.png" to "name@2x.png", at the pixels of each larger window size.
// Usage: make_popup_art <output folder>
// Flat colours only, so every picture fits a 256-colour palette; the window backgrounds paint
// everything outside their outline in the key colour RGB(255, 0, 255).
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

const QColor kKey(255, 0, 255);
const QColor kShadow(0, 0, 48);
const QColor kNavy(0, 0, 96);
const QColor kDeepGreen(0, 72, 48);
const QColor kGreen(0, 192, 0);
const QColor kBrightGreen(0, 255, 0);
const QColor kPaper(232, 240, 255);
const QColor kPaperEdge(128, 160, 224);
const QColor kYellow(255, 224, 0);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kDarkRed(192, 0, 0);

bool save(QImage image, const QString &path)
{
    // Stored with a palette when the picture has few enough colours.
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const QImage &out = indexed.colorCount() <= 256 && indexed.convertToFormat(image.format()) == image ? indexed : image;
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

// Pixels per picture pixel: 1 for the art at 100 %, then 1.25 to 2 for the "@1.25x" to "@2x"
// art of the larger window sizes.
double k = 1;

// A picture coordinate as an image pixel edge, rounded as the game rounds its sizes.
int edge(int v)
{
    return int(std::lround(v * k));
}

// A picture of w x h picture pixels, and a painter that draws in picture pixels.
QImage canvas(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    return QImage(edge(w), edge(h), format);
}

void scaleTo(QPainter &p)
{
    p.scale(k, k);
}

// One picture pixel: the image pixels between its edges.
void dot(QImage &img, int x, int y, const QColor &c)
{
    for (int iy = edge(y); iy < edge(y + 1); ++iy)
        for (int ix = edge(x); ix < edge(x + 1); ++ix)
            img.setPixelColor(ix, iy, c);
}

void checkerShadow(QImage &img, int x0, int x1, int y0, int y1)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if ((x + y) % 2 == 0)
                dot(img, x, y, kShadow);
}

// Yellow warning triangle with an exclamation mark, its top at (cx, top).
void warningMark(QPainter &p, int cx, int top, int size)
{
    const QPolygon outer({QPoint(cx, top), QPoint(cx + size / 2, top + size), QPoint(cx - size / 2, top + size)});
    p.setPen(kBlack);
    p.setBrush(kYellow);
    p.drawPolygon(outer);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    p.drawRect(cx - 1, top + size / 3, 3, size / 3 + 1);
    p.drawRect(cx - 1, top + size - 6, 3, 3);
}

QImage dialogBackground()
{
    QImage img = canvas(380, 85, QImage::Format_RGB32);
    img.fill(kKey);
    QPainter p(&img);
    scaleTo(p);
    // Panel x 0..371, y 0..76 without its top-left pixel.
    p.fillRect(0, 0, 372, 77, kNavy);
    p.setPen(kBrightGreen);
    p.drawRect(1, 1, 369, 74);
    p.fillRect(2, 2, 368, 25, kDeepGreen);
    p.setPen(kGreen);
    p.drawLine(2, 27, 369, 27);
    // Message area behind lblMSG (64, 40, 289 x 33).
    p.fillRect(58, 34, 302, 42 - 1, kPaper);
    p.setPen(kPaperEdge);
    p.drawRect(58, 34, 301, 40);
    warningMark(p, 31, 37, 34);
    p.end();
    dot(img, 0, 0, kKey);
    checkerShadow(img, 372, 379, 15, 76);
    checkerShadow(img, 12, 379, 77, 84);
    return img;
}

QImage titleBar()
{
    QImage img = canvas(360, 17, QImage::Format_RGB32);
    img.fill(kDeepGreen);
    QPainter p(&img);
    scaleTo(p);
    p.setPen(kGreen);
    p.drawLine(0, 16, 359, 16);
    p.setPen(kBrightGreen);
    for (int x = 300; x < 356; x += 4)
        p.drawLine(x, 4, x, 12);
    return img;
}

// Four small tiles in a square: the four characters of an idiom.
QImage logo()
{
    QImage img = canvas(13, 14, QImage::Format_RGB32);
    img.fill(kGreen);
    QPainter p(&img);
    scaleTo(p);
    const QColor tiles[4] = {kYellow, kWhite, kWhite, kYellow};
    for (int i = 0; i < 4; ++i) {
        const int x = 1 + (i % 2) * 6;
        const int y = 1 + (i / 2) * 6;
        p.fillRect(x, y, 5, 5, tiles[i]);
        p.setPen(kNavy);
        p.drawRect(x, y, 4, 4);
    }
    p.fillRect(1, 13, 11, 1, kDeepGreen);
    return img;
}

// A filled rectangle of picture pixels, its edges rounded as the window's outline rounds them.
void block(QImage &img, int x, int y, int w, int h, const QColor &c)
{
    QPainter p(&img);
    p.fillRect(QRect(QPoint(edge(x), edge(y)), QPoint(edge(x + w) - 1, edge(y + h) - 1)), c);
}

// A one-picture-pixel frame around x..x+w, y..y+h (as QPainter::drawRect draws it).
void frame(QImage &img, int x, int y, int w, int h, const QColor &c)
{
    block(img, x, y, w + 1, 1, c);
    block(img, x, y + h, w + 1, 1, c);
    block(img, x, y, 1, h + 1, c);
    block(img, x + w, y, 1, h + 1, c);
}

QImage menuBackground()
{
    QImage img = canvas(60, 79, QImage::Format_RGB32);
    img.fill(kKey);
    // Panel x 1..53, y 1..72: drawn edge by edge so that at every size it meets the outline.
    block(img, 1, 1, 53, 72, kPaper);
    frame(img, 1, 1, 52, 71, kNavy);
    frame(img, 3, 3, 48, 67, kGreen);
    checkerShadow(img, 54, 59, 9, 72);
    checkerShadow(img, 8, 59, 73, 78);
    return img;
}

QImage arrow()
{
    QImage img = canvas(8, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    // A right-pointing triangle over the middle rows.
    for (int y = 2; y <= 13; ++y) {
        const int reach = y <= 7 ? y - 2 : 13 - y;
        for (int x = 1; x <= 1 + reach && x < 7; ++x)
            dot(img, x, y, kDarkRed);
    }
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_popup_art <output folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const auto &[scale, suffix] : {std::pair{1.0, ""}, std::pair{1.25, "@1.25x"}, std::pair{1.5, "@1.5x"},
                                        std::pair{1.75, "@1.75x"}, std::pair{2.0, "@2x"}}) {
        k = scale;
        const auto path = [&](const char *name) { return dir.filePath(QString::fromLatin1(name) + QString::fromLatin1(suffix) + QStringLiteral(".png")); };
        ok = save(dialogBackground(), path("dialog_background")) && ok;
        ok = save(titleBar(), path("dialog_title_bar")) && ok;
        ok = save(logo(), path("dialog_logo")) && ok;
        ok = save(menuBackground(), path("menu_background")) && ok;
        ok = save(arrow(), path("menu_arrow")) && ok;
    }
    return ok ? 0 : 1;
}
