// The four levels: file, name, title-bar label and tile colours.
#include "idioms/levels.h"

#include <array>

namespace horokata {

namespace {
const std::array<Level, kLevelCount> kLevels = {{
    {"初級.txt", "初級", "＜初級＞", RGB(0, 192, 0), RGB(0, 0, 255)},
    {"一般.txt", "一般", "＜一般＞", RGB(128, 128, 255), RGB(255, 255, 0)},
    {"特殊.txt", "特殊", "＜特殊＞", RGB(255, 0, 0), RGB(0, 0, 0)},
    {"其他.txt", "其他", "＜其他＞", RGB(0, 128, 128), RGB(255, 255, 255)},
}};
} // namespace

const Level &levelAt(int index)
{
    return kLevels.at(static_cast<std::size_t>(index));
}

QString levelFileName(int index)
{
    if (index < 0 || index >= kLevelCount)
        return QString();
    return QString::fromUtf8(kLevels[static_cast<std::size_t>(index)].name);
}

} // namespace horokata
