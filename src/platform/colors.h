// Colours as 0xRRGGBB, so the core needs nothing from the GUI library.
#pragma once

#include <cstdint>

namespace horokata {

using Rgb = std::uint32_t;

constexpr Rgb RGB(int r, int g, int b)
{
    return (static_cast<Rgb>(r & 0xff) << 16) | (static_cast<Rgb>(g & 0xff) << 8) | static_cast<Rgb>(b & 0xff);
}
constexpr int redOf(Rgb c) { return static_cast<int>((c >> 16) & 0xff); }
constexpr int greenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int blueOf(Rgb c) { return static_cast<int>(c & 0xff); }

} // namespace horokata
