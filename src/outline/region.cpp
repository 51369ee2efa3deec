// Window outlines as rectangle lists in the RGNDATA layout.
#include "outline/region.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace horokata {

namespace {

std::int32_t readLE32(const unsigned char *p)
{
    const std::uint32_t v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

void appendLE32(QByteArray &out, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((v >> shift) & 0xff));
}

RECT readRect(const unsigned char *p)
{
    return RECT{readLE32(p), readLE32(p + 4), readLE32(p + 8), readLE32(p + 12)};
}

bool inCoordSpace(std::int32_t v)
{
    return v >= -kRgnCoordLimit && v <= kRgnCoordLimit;
}

} // namespace

int readRegionData(const char *data, std::size_t size, RGNDATA &out)
{
    out = RGNDATA{};
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    if (data == nullptr || size < std::size_t(kRgnHeaderSize))
        return kRgnReadError;

    out.rdh.dwSize = readLE32(bytes);
    out.rdh.iType = readLE32(bytes + 4);
    out.rdh.nCount = readLE32(bytes + 8);
    out.rdh.nRgnSize = readLE32(bytes + 12);
    out.rdh.rcBound = readRect(bytes + 16);

    // The count is untrusted: refuse it before it sizes anything.
    if (out.rdh.nCount > kRgnCapacity)
        return kRgnReadError;
    const int count = std::max(out.rdh.nCount, 0);
    const std::size_t available = (size - kRgnHeaderSize) / kRgnRectSize;
    const int readable = static_cast<int>(std::min<std::size_t>(available, std::size_t(count)));

    out.Buffer.reserve(std::size_t(readable));
    for (int i = 0; i < readable; ++i)
        out.Buffer.push_back(readRect(bytes + kRgnHeaderSize + std::size_t(i) * kRgnRectSize));
    return readable == count ? kRgnOk : kRgnReadError;
}

int readRegionFile(const QString &path, RGNDATA &out)
{
    out = RGNDATA{};
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return kRgnMissing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return kRgnReadError;
    // Anything past a full record is ignored anyway, so never read more than that.
    const QByteArray bytes = file.read(qint64(kRgnHeaderSize) + qint64(kRgnCapacity) * kRgnRectSize);
    if (file.error() != QFileDevice::NoError)
        return kRgnReadError;
    return readRegionData(bytes, out);
}

int createRegionRects(const RGNDATA &rgn, std::vector<RECT> *rects)
{
    if (rects)
        rects->clear();
    const RGNDATAHEADER &h = rgn.rdh;
    if (h.dwSize != kRgnHeaderSize || h.iType != kRDH_RECTANGLES || h.nCount < 0 || h.nCount > kRgnCapacity)
        return kRgnRefused;
    if (std::int64_t(h.nRgnSize) < std::int64_t(h.nCount) * kRgnRectSize)
        return kRgnRefused;
    // A record that holds fewer rectangles than its header names would make creation read
    // memory that was never filled.
    if (rgn.Buffer.size() < std::size_t(h.nCount))
        return kRgnRefused;

    std::vector<RECT> result;
    result.reserve(std::size_t(h.nCount));
    for (int i = 0; i < h.nCount; ++i) {
        const RECT &r = rgn.Buffer[std::size_t(i)];
        if (!inCoordSpace(r.left) || !inCoordSpace(r.top) || !inCoordSpace(r.right) || !inCoordSpace(r.bottom))
            return kRgnRefused;
        if (r.left < r.right && r.top < r.bottom)
            result.push_back(r);
    }
    if (rects)
        *rects = std::move(result);
    return kRgnOk;
}

int loadRegionFile(const QString &path, std::vector<RECT> *rects)
{
    if (rects)
        rects->clear();
    RGNDATA rgn;
    const int trouble = readRegionFile(path, rgn);
    if (trouble != kRgnOk)
        return trouble;
    return createRegionRects(rgn, rects);
}

RECT boundingRect(const std::vector<RECT> &rects)
{
    if (rects.empty())
        return RECT{};
    RECT b = rects.front();
    for (const RECT &r : rects) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

QByteArray writeRegionData(const std::vector<RECT> &rects)
{
    QByteArray out;
    out.reserve(kRgnHeaderSize + int(rects.size()) * kRgnRectSize);
    const auto n = static_cast<std::int32_t>(rects.size());
    const RECT b = boundingRect(rects);
    for (std::int32_t v : {std::int32_t(kRgnHeaderSize), std::int32_t(kRDH_RECTANGLES), n, n * kRgnRectSize, b.left,
                           b.top, b.right, b.bottom})
        appendLE32(out, v);
    for (const RECT &r : rects)
        for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
            appendLE32(out, v);
    return out;
}

std::vector<RECT> bandMask(int width, int height, const std::function<bool(int, int)> &inside)
{
    std::vector<RECT> out;
    // Runs of the band still open (started on an earlier row, same runs on every row since).
    std::vector<std::pair<int, int>> open;
    int openTop = 0;
    std::vector<std::pair<int, int>> runs;

    auto flush = [&](int bottom) {
        for (const auto &[l, r] : open)
            out.push_back(RECT{l, openTop, r, bottom});
        open.clear();
    };

    for (int y = 0; y < height; ++y) {
        runs.clear();
        for (int x = 0; x < width;) {
            if (!inside(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && inside(x, y))
                ++x;
            runs.emplace_back(start, x);
        }
        if (runs != open) {
            flush(y);
            open = runs;
            openTop = y;
        }
    }
    flush(height);
    return out;
}

bool menuOutlineExtraPixel(int x, int y)
{
    return x == 60 && y >= 9 && y <= 77 && y % 2 != 0;
}

RGNDATA menuOutline()
{
    std::vector<RECT> r;
    r.reserve(381);
    r.push_back(RECT{1, 1, 54, 9});
    for (int y = 9; y <= 72; ++y) {
        if (y % 2 != 0) {
            r.push_back(RECT{1, y, 54, y + 1});
            r.push_back(RECT{55, y, 56, y + 1});
            r.push_back(RECT{57, y, 58, y + 1});
            r.push_back(RECT{59, y, 61, y + 1});
        } else {
            r.push_back(RECT{1, y, 55, y + 1});
            r.push_back(RECT{56, y, 57, y + 1});
            r.push_back(RECT{58, y, 59, y + 1});
        }
    }
    for (int y = 73; y <= 78; ++y) {
        if (y % 2 != 0) {
            for (int x = 9; x <= 57; x += 2)
                r.push_back(RECT{x, y, x + 1, y + 1});
            r.push_back(RECT{59, y, 61, y + 1});
        } else {
            for (int x = 8; x <= 58; x += 2)
                r.push_back(RECT{x, y, x + 1, y + 1});
        }
    }

    RGNDATA rgn;
    rgn.rdh.dwSize = kRgnHeaderSize;
    rgn.rdh.iType = kRDH_RECTANGLES;
    rgn.rdh.nCount = static_cast<std::int32_t>(r.size());
    rgn.rdh.nRgnSize = rgn.rdh.nCount * kRgnRectSize;
    rgn.rdh.rcBound = RECT{0, 0, 61, 79};
    rgn.Buffer = std::move(r);
    return rgn;
}

} // namespace horokata
