// Feeds arbitrary bytes to the region file reader and to region creation.
#include "outline/region.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace horokata;
    RGNDATA rgn;
    const int read = readRegionData(reinterpret_cast<const char *>(data), size, rgn);
    if (read != kRgnOk && read != kRgnReadError)
        std::abort();
    if (rgn.Buffer.size() > std::size_t(kRgnCapacity))
        std::abort();
    std::vector<RECT> rects;
    const int created = createRegionRects(rgn, &rects);
    if (created != kRgnOk && created != kRgnRefused)
        std::abort();
    // Creation only ever hands on rectangles that were read, and only non-empty ones.
    if (read != kRgnOk && created == kRgnOk && rgn.rdh.nCount > 0)
        std::abort();
    for (const RECT &r : rects)
        if (r.left >= r.right || r.top >= r.bottom)
            std::abort();
    // What was read writes back to a file that reads the same.
    if (created == kRgnOk) {
        RGNDATA again;
        if (readRegionData(writeRegionData(rects), again) != kRgnOk || again.Buffer != rects)
            std::abort();
    }
    return 0;
}
