// Makes a window outline file from a background picture: the pixels that are not the key colour
// RGB(255, 0, 255), banded into rectangles, written in the RGNDATA layout of "msg.rgn".
// Usage: make_rgn <picture.png> <out.rgn>     write the outline file
//        make_rgn --count <picture.png>       only print the rectangle count
#include "outline/region.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <cstring>

namespace {

std::vector<horokata::RECT> outlineOf(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const QRgb key = qRgb(255, 0, 255);
    return horokata::bandMask(img.width(), img.height(),
                              [&](int x, int y) { return (img.pixel(x, y) & 0xffffff) != (key & 0xffffff); });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool countOnly = argc == 3 && std::strcmp(argv[1], "--count") == 0;
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_rgn <picture.png> <out.rgn> | make_rgn --count <picture.png>\n");
        return 2;
    }
    const QString picture = QString::fromLocal8Bit(countOnly ? argv[2] : argv[1]);
    QImage image;
    if (!image.load(picture)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(picture));
        return 1;
    }
    const std::vector<horokata::RECT> rects = outlineOf(image);
    const horokata::RECT b = horokata::boundingRect(rects);
    std::printf("%s: %dx%d, %zu rectangles, bound (%d, %d, %d, %d)\n", qPrintable(picture), image.width(),
                image.height(), rects.size(), b.left, b.top, b.right, b.bottom);
    if (countOnly)
        return 0;
    if (rects.size() > std::size_t(horokata::kRgnCapacity)) {
        std::fprintf(stderr, "too many rectangles for the dialog's record (at most %d)\n", horokata::kRgnCapacity);
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || out.write(horokata::writeRegionData(rects)) < 0 || !out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
