// The effect window's two pictures, painted at run time: the title emblem and the kanji sheet.
#pragma once

#include <QImage>

namespace horokata {

// Both are painted at the game's size (ui_scale.h), at the screen's pixels, with the screen's
// device pixel ratio: their logical size is their size in picture pixels at the game's size.
// imgTITOL: 64 x 64 picture pixels, the title's four characters in 2 x 2 on a red and gold tile.
const QImage &titleEmblem();
// imgPF: 432 x 192 picture pixels, 36 cells of 48 x 48 in 9 columns and 4 rows, one festive kanji per
// coloured tile, cell i at column i % 9, row i / 9.
const QImage &spriteSheet();

} // namespace horokata
