// Idiom list files: size limits and the item reader over Shift-JIS text.
#pragma once

#include "idioms/idiom.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
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

// The idioms of a list file that passed the size test, or nothing when the file cannot be
// read or holds more idioms than its size allows. Never reads more than kMaxListBytes.
std::optional<ParsedIdiomList> readIdiomListFile(const QString &path, int capacity);
// The same for a file not yet tested: nothing when it is not an ordinary file or fails the
// size test.
std::optional<ParsedIdiomList> readIdiomListFile(const QString &path);

} // namespace horokata
