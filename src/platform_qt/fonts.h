// The game's font names mapped to fonts installed on this machine.
#pragma once

#include <QFont>
#include <QString>

namespace horokata {

// "ＭＳ ゴシック" (fixed-pitch gothic) and "ＭＳ Ｐゴシック" (proportional gothic) become an
// installed Japanese gothic when they are not installed themselves, so text never shows as boxes.
// Sizes are the design's, at 100 %: the font is made at the game's size (ui_scale.h).
QFont gothicFont(double pointSize, bool proportional = false, bool bold = false);

// The tile font: "CRＣ＆Ｇブーケ" 28 pt when installed, else bold gothic 28 pt (at the game's size).
QFont tileFont();

// True when a family of exactly this name is installed.
bool fontInstalled(const QString &family);

} // namespace horokata
