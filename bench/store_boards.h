// Boards made from dictionary idioms, for the benchmarks of the player's store and its windows.
#pragma once

#include "idioms/idiom_dictionary.h"
#include "puzzle/saved_board.h"

#include <QStringList>

namespace horokata::bench {

// The cards' dictionary beside the built program.
inline const QString kDictionary = QStringLiteral(HOROKATA_PROGRAM_DIR "/") + QString::fromUtf8(kDictionaryFileName);

// Twenty idioms from `first` on (wrapping round), their characters laid out in order.
inline DealtBoard boardOf(const QStringList &idioms, qsizetype first, int level)
{
    DealtBoard b;
    b.level = level;
    QString text;
    for (int k = 0; k < kIdioms; ++k) {
        b.strGOKU[std::size_t(k)] = idioms[(first + k) % idioms.size()];
        text += b.strGOKU[std::size_t(k)];
    }
    for (int i = 0; i < kCells; ++i)
        b.strMOJI[std::size_t(i)] = text.mid(i, 1);
    return b;
}

} // namespace horokata::bench
