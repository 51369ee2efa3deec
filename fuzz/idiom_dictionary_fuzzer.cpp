// libFuzzer target: the reading-and-meaning parser on arbitrary bytes.
#include "idioms/idiom_dictionary.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace horokata;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const IdiomDictionary dictionary = parseIdiomDictionary(bytes);

    // What the cards rely on: at most one entry per line, every idiom four characters with
    // no line end or tab, and no field empty or holding a line break that would garble a card.
    if (dictionary.size() > bytes.count('\n') + 1)
        std::abort();
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        const QString &idiom = it.key();
        if (idiom.size() < 4 || idiom.size() > 8 || it->reading.isEmpty() || it->meaning.isEmpty())
            std::abort();
        for (const QString &field : {idiom, it->reading, it->meaning})
            if (field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))
                || field.contains(QLatin1Char('\t')))
                std::abort();
    }
    return 0;
}
