// libFuzzer target: the idiom list reader on arbitrary bytes, with the capacity the size gives.
#include "idioms/idiom_list_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace horokata;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto length = static_cast<std::int64_t>(size);
    // Small inputs would all be refused by the size test; give them room for a few
    // idioms so the reader still runs on them.
    const int capacity = listSizeAcceptable(length) ? listCapacity(length) : static_cast<int>(size % 8);
    const ParsedIdiomList list = parseIdiomList(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), capacity);

    // What the game relies on: never more idioms than the capacity, entry 0 empty, and
    // every stored entry exactly four characters.
    if (list.count < 0 || list.count > capacity || list.entries.size() != std::size_t(capacity) + 1
        || !list.entries[0].isEmpty())
        std::abort();
    for (int i = 1; i <= list.count; ++i)
        if (list.entries[std::size_t(i)].size() != 4)
            std::abort();
    return 0;
}
