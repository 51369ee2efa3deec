// Window outlines as rectangle lists in the RGNDATA layout: the "msg.rgn" reader, the level
// menu's built-in outline and the banding that turns a pixel mask into such a list.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace horokata {

// All fields are 32-bit signed little-endian on disk; right and bottom are exclusive.
struct RECT {
    std::int32_t left = 0;   // left edge, pixels
    std::int32_t top = 0;    // top edge, pixels
    std::int32_t right = 0;  // right edge, one past the last pixel
    std::int32_t bottom = 0; // bottom edge, one past the last pixel
    friend bool operator==(const RECT &, const RECT &) = default;
};

// The 32-byte header in front of the rectangles.
struct RGNDATAHEADER {
    std::int32_t dwSize = 0;   // size of this header: 32
    std::int32_t iType = 0;    // kind of data: kRDH_RECTANGLES
    std::int32_t nCount = 0;   // rectangles that follow
    std::int32_t nRgnSize = 0; // bytes of rectangle data, nCount × 16
    RECT rcBound;              // bounding rectangle of them all
};

// Header plus the rectangles actually read (never more than kRgnCapacity of them).
struct RGNDATA {
    RGNDATAHEADER rdh;        // the header
    std::vector<RECT> Buffer; // the rectangles, in file order
};

constexpr int kRgnHeaderSize = 32;  // bytes of RGNDATAHEADER on disk
constexpr int kRgnRectSize = 16;    // bytes of one RECT on disk
constexpr int kRDH_RECTANGLES = 1;  // iType of rectangle data, the only kind there is
// Rectangles the dialog's record holds; a file announcing more is a read error.
constexpr int kRgnCapacity = 1753;
// Largest coordinate magnitude a region accepts (the platform's 28-bit coordinate space).
constexpr std::int32_t kRgnCoordLimit = (1 << 27) - 1;

// Trouble numbers of the dialog's outline (the menu uses 5 and 6 for creation/application).
constexpr int kRgnOk = 0;         // the outline is in place
constexpr int kRgnMissing = 1;    // no outline file
constexpr int kRgnReadError = 2;  // the file cannot be read, or is cut short
constexpr int kRgnRefused = 3;    // the rectangles do not make a region
constexpr int kRgnNotApplied = 4; // the window system would not cut the window to it

// Reads an RGNDATA image: the 32-byte header, then exactly nCount rectangles; bytes after
// them are ignored. Returns 0, or 2 when the header is cut short, nCount exceeds the
// capacity, or the data ends before the last announced rectangle (nothing half-read is kept:
// `out.Buffer` then holds only fully read rectangles). A negative nCount reads no rectangle.
int readRegionData(const char *data, std::size_t size, RGNDATA &out);
inline int readRegionData(const QByteArray &bytes, RGNDATA &out)
{
    return readRegionData(bytes.constData(), static_cast<std::size_t>(bytes.size()), out);
}

// Reads "msg.rgn" or any region file: 1 when no such file, 2 when it cannot be opened or read,
// otherwise as readRegionData. Reads at most header + capacity + one rectangle, however large
// the file claims or is.
int readRegionFile(const QString &path, RGNDATA &out);

// What region creation makes of the record: 0 and the rectangles to unite (empty ones are
// skipped, as the platform skips them), or 3 when creation refuses the record: a header size
// other than 32, a type other than rectangles, a negative count, a buffer size smaller than
// nCount rectangles, a count the record does not hold, or coordinates beyond the coordinate
// space. An empty result (nCount 0) is valid here.
int createRegionRects(const RGNDATA &rgn, std::vector<RECT> *rects);

// Read and create in one: 0..3, as the dialog's outline reports them.
int loadRegionFile(const QString &path, std::vector<RECT> *rects);

// The RGNDATA image of a rectangle list: header 32, 1, n, n*16, bounding rectangle, then the
// rectangles. The bounding rectangle of an empty list is all zeros.
QByteArray writeRegionData(const std::vector<RECT> &rects);
RECT boundingRect(const std::vector<RECT> &rects);

// Cuts the pixels for which `inside(x, y)` holds into horizontal runs, row by row, and merges
// consecutive rows with identical runs into taller rectangles: top to bottom, left to right,
// the same banded form the platform's region-data query produces.
std::vector<RECT> bandMask(int width, int height, const std::function<bool(int, int)> &inside);

// The level menu's built-in outline, 381 rectangles in their fixed order, bound (0, 0, 61, 79).
RGNDATA menuOutline();

// The menu outline's column beyond the 60-pixel window: the built-in list carries x = 60 on the
// odd rows 9 to 77 (the last shadow run of those rows is two pixels wide), invisible on screen.
bool menuOutlineExtraPixel(int x, int y);

} // namespace horokata
