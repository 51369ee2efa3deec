// Region files, the menu's built-in outline and banding.
#include "outline/region.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace horokata;

namespace {

void putLE32(QByteArray &out, std::int32_t v)
{
    for (int s = 0; s < 32; s += 8)
        out.append(char((std::uint32_t(v) >> s) & 0xff));
}

QByteArray header(std::int32_t dwSize, std::int32_t iType, std::int32_t nCount, std::int32_t nRgnSize)
{
    QByteArray b;
    for (std::int32_t v : {dwSize, iType, nCount, nRgnSize, 0, 0, 10, 10})
        putLE32(b, v);
    return b;
}

QByteArray rects(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        for (std::int32_t v : {i, 0, i + 1, 1})
            putLE32(b, v);
    return b;
}

QByteArray file(int nCount, int rectsPresent)
{
    return header(32, 1, nCount, nCount * 16) + rects(rectsPresent);
}

std::set<std::pair<int, int>> pixels(const std::vector<RECT> &list)
{
    std::set<std::pair<int, int>> out;
    for (const RECT &r : list)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                out.emplace(x, y);
    return out;
}

std::size_t area(const std::vector<RECT> &list)
{
    std::size_t a = 0;
    for (const RECT &r : list)
        a += std::size_t(r.right - r.left) * std::size_t(r.bottom - r.top);
    return a;
}

// The dialog outline described for "msg.rgn": a panel without its top-left pixel and a
// checkerboard shadow along the right and bottom edges.
bool dialogInside(int x, int y)
{
    if (x <= 371 && y <= 76)
        return !(x == 0 && y == 0);
    const bool right = x >= 372 && x <= 379 && y >= 15 && y <= 76;
    const bool bottom = y >= 77 && y <= 84 && x >= 12 && x <= 379;
    return (right || bottom) && (x + y) % 2 == 0;
}

bool menuInside(int x, int y)
{
    if (x >= 1 && x <= 53 && y >= 1 && y <= 72)
        return true;
    const bool side = x >= 54 && x <= 59 && y >= 9 && y <= 72;
    const bool below = x >= 8 && x <= 59 && y >= 73 && y <= 78;
    return (side || below) && (x + y) % 2 == 0;
}

} // namespace

// --- Reading hostile or damaged region files ----------------------------------------------

TEST(RegionReader, CountsUpToTheCapacityLoadAndOneMoreIsAReadError)
{
    RGNDATA rgn;
    EXPECT_EQ(readRegionData(file(1753, 1753), rgn), kRgnOk);
    EXPECT_EQ(rgn.Buffer.size(), 1753u);
    EXPECT_EQ(rgn.Buffer[1752], (RECT{1752, 0, 1753, 1}));
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnOk);

    EXPECT_EQ(readRegionData(file(1754, 1754), rgn), kRgnReadError);
    EXPECT_TRUE(rgn.Buffer.empty());
}

TEST(RegionReader, HugeCountIsRefusedBeforeAnythingIsAllocated)
{
    RGNDATA rgn;
    EXPECT_EQ(readRegionData(header(32, 1, 0x7fffffff, -16), rgn), kRgnReadError);
    EXPECT_TRUE(rgn.Buffer.empty());
    EXPECT_EQ(rgn.Buffer.capacity(), 0u);
}

TEST(RegionReader, FileShorterThanItsCountIsAReadErrorWithOnlyWholeRectanglesKept)
{
    RGNDATA rgn;
    QByteArray bytes = file(10, 9) + QByteArray(15, '\x7f'); // the tenth rectangle is one byte short
    EXPECT_EQ(readRegionData(bytes, rgn), kRgnReadError);
    EXPECT_EQ(rgn.Buffer.size(), 9u);
    // A record read short never reaches region creation as if it were whole.
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnRefused);
}

TEST(RegionReader, TruncatedHeaderIsAReadError)
{
    RGNDATA rgn;
    EXPECT_EQ(readRegionData(header(32, 1, 0, 0).left(31), rgn), kRgnReadError);
    EXPECT_EQ(readRegionData(QByteArray(), rgn), kRgnReadError);
    EXPECT_EQ(readRegionData(nullptr, 0, rgn), kRgnReadError);
}

TEST(RegionReader, BytesAfterTheLastRectangleAreIgnored)
{
    RGNDATA rgn;
    EXPECT_EQ(readRegionData(file(3, 3) + QByteArray(1000, '\xff'), rgn), kRgnOk);
    ASSERT_EQ(rgn.Buffer.size(), 3u);
    EXPECT_EQ(rgn.Buffer[2], (RECT{2, 0, 3, 1}));
}

TEST(RegionReader, FieldsAreLittleEndianSigned)
{
    QByteArray bytes = header(32, 1, 1, 16);
    for (std::int32_t v : {-5, -6, 0x01020304, 7})
        putLE32(bytes, v);
    RGNDATA rgn;
    ASSERT_EQ(readRegionData(bytes, rgn), kRgnOk);
    EXPECT_EQ(rgn.rdh.rcBound, (RECT{0, 0, 10, 10}));
    EXPECT_EQ(rgn.Buffer[0], (RECT{-5, -6, 0x01020304, 7}));
}

TEST(RegionReader, ZeroCountReadsHeaderOnlyAndMakesAnEmptyRegion)
{
    RGNDATA rgn;
    EXPECT_EQ(readRegionData(file(0, 0), rgn), kRgnOk);
    std::vector<RECT> out{RECT{1, 1, 2, 2}};
    EXPECT_EQ(createRegionRects(rgn, &out), kRgnOk);
    EXPECT_TRUE(out.empty());
}

TEST(RegionReader, NegativeCountReadsNothingAndCreationRefusesIt)
{
    RGNDATA rgn;
    EXPECT_EQ(readRegionData(header(32, 1, -1, 0) + rects(4), rgn), kRgnOk);
    EXPECT_TRUE(rgn.Buffer.empty());
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnRefused);
}

// --- What region creation refuses -----------------------------------------------------------

TEST(RegionCreation, HeaderDisagreeingWithTheDataIsRefused)
{
    RGNDATA rgn;
    ASSERT_EQ(readRegionData(header(24, 1, 2, 32) + rects(2), rgn), kRgnOk);
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnRefused);
    ASSERT_EQ(readRegionData(header(32, 2, 2, 32) + rects(2), rgn), kRgnOk);
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnRefused);
    ASSERT_EQ(readRegionData(header(32, 1, 2, 31) + rects(2), rgn), kRgnOk);
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnRefused);
    ASSERT_EQ(readRegionData(header(32, 1, 2, -32) + rects(2), rgn), kRgnOk);
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnRefused);
    // A buffer size larger than needed is accepted.
    ASSERT_EQ(readRegionData(header(32, 1, 2, 64) + rects(2), rgn), kRgnOk);
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnOk);
}

TEST(RegionCreation, EmptyRectanglesAreSkippedAndFarCoordinatesRefused)
{
    RGNDATA rgn;
    rgn.rdh = RGNDATAHEADER{32, 1, 3, 48, RECT{}};
    rgn.Buffer = {RECT{5, 5, 5, 9}, RECT{0, 0, 2, 2}, RECT{4, 9, 8, 3}};
    std::vector<RECT> out;
    EXPECT_EQ(createRegionRects(rgn, &out), kRgnOk);
    EXPECT_EQ(out, (std::vector<RECT>{RECT{0, 0, 2, 2}}));

    rgn.Buffer[0] = RECT{INT32_MIN, 0, INT32_MAX, 1};
    EXPECT_EQ(createRegionRects(rgn, &out), kRgnRefused);
    EXPECT_TRUE(out.empty());
}

// --- Region files on disk ---------------------------------------------------------------------

TEST(RegionFile, MissingFileIsTroubleOneAndADirectoryCountsAsMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(loadRegionFile(dir.filePath("msg.rgn"), nullptr), kRgnMissing);
    ASSERT_TRUE(QDir(dir.path()).mkdir("msg.rgn"));
    EXPECT_EQ(loadRegionFile(dir.filePath("msg.rgn"), nullptr), kRgnMissing);
}

TEST(RegionFile, ShortFileIsTroubleTwoAndRefusedHeaderIsTroubleThree)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("msg.rgn");
    auto write = [&](const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    write(file(5, 4));
    EXPECT_EQ(loadRegionFile(path, nullptr), kRgnReadError);
    write(header(32, 1, -3, 0));
    EXPECT_EQ(loadRegionFile(path, nullptr), kRgnRefused);
    write(file(2, 2) + QByteArray(100000, 'x'));
    std::vector<RECT> out;
    EXPECT_EQ(loadRegionFile(path, &out), kRgnOk);
    EXPECT_EQ(out.size(), 2u);
}

TEST(RegionFile, CommittedMsgRgnIsTheDialogOutline)
{
    RGNDATA rgn;
    ASSERT_EQ(readRegionFile(HOROKATA_SOURCE_DIR "/data/msg.rgn", rgn), kRgnOk);
    EXPECT_EQ(rgn.rdh.dwSize, 32);
    EXPECT_EQ(rgn.rdh.iType, 1);
    EXPECT_EQ(rgn.rdh.nCount, 1753);
    EXPECT_EQ(rgn.rdh.nRgnSize, 1753 * 16);
    EXPECT_EQ(rgn.rdh.rcBound, (RECT{0, 0, 380, 85}));
    std::vector<RECT> out;
    ASSERT_EQ(createRegionRects(rgn, &out), kRgnOk);
    // Already banded: banding the described shape gives the very same list.
    EXPECT_EQ(out, bandMask(380, 85, dialogInside));
}

// --- The menu's built-in outline and banding ---------------------------------------------------

TEST(MenuOutline, HeaderAndTellingRectangles)
{
    const RGNDATA rgn = menuOutline();
    EXPECT_EQ(rgn.rdh.dwSize, 32);
    EXPECT_EQ(rgn.rdh.iType, 1);
    EXPECT_EQ(rgn.rdh.nCount, 381);
    EXPECT_EQ(rgn.rdh.nRgnSize, 6096);
    EXPECT_EQ(rgn.rdh.rcBound, (RECT{0, 0, 61, 79}));
    ASSERT_EQ(rgn.Buffer.size(), 381u);
    EXPECT_EQ(rgn.Buffer[0], (RECT{1, 1, 54, 9}));
    EXPECT_EQ(rgn.Buffer[1], (RECT{1, 9, 54, 10}));
    EXPECT_EQ(rgn.Buffer[4], (RECT{59, 9, 61, 10}));
    EXPECT_EQ(rgn.Buffer[5], (RECT{1, 10, 55, 11}));
    EXPECT_EQ(rgn.Buffer[225], (RECT{9, 73, 10, 74}));
    EXPECT_EQ(rgn.Buffer[380], (RECT{58, 78, 59, 79}));
    EXPECT_EQ(createRegionRects(rgn, nullptr), kRgnOk);
    EXPECT_EQ(boundingRect(rgn.Buffer), (RECT{1, 1, 61, 79}));
}

TEST(MenuOutline, UnionIsPanelPlusShadowPlusTheOuterColumnWithoutOverlap)
{
    const RGNDATA rgn = menuOutline();
    const auto covered = pixels(rgn.Buffer);
    EXPECT_EQ(covered.size(), area(rgn.Buffer)) << "rectangles overlap";
    std::set<std::pair<int, int>> expected;
    for (int y = 0; y < 79; ++y)
        for (int x = 0; x < 61; ++x)
            if (menuInside(x, y) || menuOutlineExtraPixel(x, y))
                expected.emplace(x, y);
    EXPECT_EQ(covered, expected);
}

TEST(MenuOutline, BandingTheShapeReproducesTheListExactly)
{
    // Within the window the banding of the shape is the list clipped to 60 pixels ...
    std::vector<RECT> clipped = menuOutline().Buffer;
    for (RECT &r : clipped)
        r.right = std::min(r.right, 60);
    EXPECT_EQ(bandMask(60, 79, menuInside), clipped);
    // ... and with the outer column it is the list itself, order included.
    EXPECT_EQ(bandMask(61, 79, [](int x, int y) { return menuInside(x, y) || menuOutlineExtraPixel(x, y); }),
              menuOutline().Buffer);
}

TEST(Banding, MergesOnlyIdenticalConsecutiveRows)
{
    // Rows 0-1 identical, row 2 differs, row 3 empty, row 4 equals row 0.
    const char *rows[] = {"XX.XX", "XX.XX", "XXXX.", ".....", "XX.XX"};
    const auto out = bandMask(5, 5, [&](int x, int y) { return rows[y][x] == 'X'; });
    EXPECT_EQ(out, (std::vector<RECT>{{0, 0, 2, 2}, {3, 0, 5, 2}, {0, 2, 4, 3}, {0, 4, 2, 5}, {3, 4, 5, 5}}));
    EXPECT_TRUE(bandMask(0, 0, [](int, int) { return true; }).empty());
}

TEST(RegionWriter, WrittenFileReadsBackIdentically)
{
    const std::vector<RECT> list = menuOutline().Buffer;
    const QByteArray bytes = writeRegionData(list);
    EXPECT_EQ(bytes.size(), 32 + 381 * 16);
    RGNDATA rgn;
    ASSERT_EQ(readRegionData(bytes, rgn), kRgnOk);
    EXPECT_EQ(rgn.rdh.nCount, 381);
    EXPECT_EQ(rgn.rdh.nRgnSize, 6096);
    EXPECT_EQ(rgn.rdh.rcBound, (RECT{1, 1, 61, 79}));
    EXPECT_EQ(rgn.Buffer, list);
}
