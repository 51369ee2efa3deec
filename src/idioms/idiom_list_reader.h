// Idiom list files: size limits and the item reader over Shift-JIS text.
#pragma once

#include "idioms/idiom.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

namespace horokata {

constexpr std::int64_t kMinListBytes = 200;
constexpr int kMinCapacity = 20;
constexpr int kMaxCapacity = 32767;
// Largest file that passes the size test (capacity 32767).
constexpr std::int64_t kMaxListBytes = 327679;

// Capacity of the list for a file of this size: size \ 10, or 0 when it does not fit 16 bits.
int listCapacity(std::int64_t size);
// True when a file of this size passes the size test (at least 200 bytes, capacity 20..32767).
bool listSizeAcceptable(std::int64_t size);

struct ParsedIdiomList {
    // Entry 0 stays empty; idioms occupy entries 1..count, in file order.
    std::vector<Idiom> entries;
    int count = 0;
    // True when more four-character items were found than the capacity allows.
    bool overCapacity = false;
};

// Splits Shift-JIS bytes into items the way a BASIC sequential-input statement does
// (commas and CR/LF/CR LF end an item, leading blanks skipped, quoted items run to the
// closing quote) and keeps the items that are exactly four characters long after decoding.
// Never stores more than `capacity` idioms.
ParsedIdiomList parseIdiomList(QByteArrayView bytes, int capacity);

} // namespace horokata
