// Idiom list files: the size test and the item reader over Shift-JIS (code page 932) bytes.
#include "idioms/idiom_list_reader.h"

#include <QStringDecoder>

#include <algorithm>

namespace horokata {

namespace {

// Items are split on the raw bytes. That is safe in code page 932: a double-byte
// character has a lead byte in 0x81-0x9F or 0xE0-0xFC and a trail byte in 0x40-0x7E or
// 0x80-0xFC, so none of the separators below (all under 0x40) can be half of a kanji.
constexpr char kComma = ',';
constexpr char kQuote = '"';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

constexpr qsizetype kIdiomLength = 4;
// Every code page 932 character is one or two bytes and decodes to one UTF-16 unit, so a
// four-character item is 4 to 8 bytes long; anything else is skipped without decoding.
constexpr qsizetype kMinIdiomBytes = kIdiomLength;
constexpr qsizetype kMaxIdiomBytes = 2 * kIdiomLength;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool endsItem(char c) { return c == kComma || c == kCr || c == kLf; }

// A decoder that can tell whether the last call met bytes that are not code page 932
// text: QStringDecoder::hasError() stays set for good once any call failed.
class Cp932Decoder : public QStringDecoder {
public:
    // ICU knows the Windows variant under this name (0x5C is a backslash, 0x8160 is
    // U+FF5E, the NEC and IBM extension rows are mapped). Stateless: a lead byte cut off
    // at the end of an item is reported instead of being held for the next call.
    Cp932Decoder() : QStringDecoder("windows-31j", QStringConverter::Flag::Stateless) {}

    // The item's text, or a null string when its bytes hold a decoding error.
    QString decodeItem(QByteArrayView item)
    {
        const qsizetype errorsBefore = state.invalidChars;
        QString text = decode(item);
        if (state.invalidChars != errorsBefore)
            return QString();
        return text;
    }
};

// Skips from `pos` past the next comma or line end (a CR LF pair is one line end).
qsizetype skipPastSeparator(QByteArrayView bytes, qsizetype pos)
{
    const qsizetype size = bytes.size();
    while (pos < size && !endsItem(bytes[pos]))
        ++pos;
    if (pos >= size)
        return size;
    if (bytes[pos] == kCr && pos + 1 < size && bytes[pos + 1] == kLf)
        return pos + 2;
    return pos + 1;
}

} // namespace

int listCapacity(std::int64_t size)
{
    if (size < 0)
        return 0;
    const std::int64_t capacity = size / 10;
    return capacity > kMaxCapacity ? 0 : static_cast<int>(capacity);
}

bool listSizeAcceptable(std::int64_t size)
{
    return size >= kMinListBytes && listCapacity(size) >= kMinCapacity;
}

ParsedIdiomList parseIdiomList(QByteArrayView bytes, int capacity)
{
    capacity = std::clamp(capacity, 0, kMaxCapacity);

    ParsedIdiomList list;
    list.entries.resize(static_cast<std::size_t>(capacity) + 1);

    Cp932Decoder decoder;
    if (!decoder.isValid()) // no ICU: nothing can be decoded, so no idiom is found
        return list;

    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        while (pos < size && isBlank(bytes[pos]))
            ++pos;
        if (pos >= size)
            break; // blanks at the very end are not an item

        QByteArrayView item;
        if (bytes[pos] == kQuote) {
            // A quoted item runs to the closing quote, separators included; whatever
            // follows the quote up to the next separator is dropped. An unclosed quote
            // runs to the end of the file.
            const qsizetype open = pos + 1;
            qsizetype close = open;
            while (close < size && bytes[close] != kQuote)
                ++close;
            item = bytes.sliced(open, close - open);
            pos = close < size ? skipPastSeparator(bytes, close + 1) : size;
        } else {
            // An unquoted item loses its trailing blanks, so "一石二鳥 " still counts.
            const qsizetype start = pos;
            qsizetype end = start;
            while (end < size && !endsItem(bytes[end]))
                ++end;
            pos = skipPastSeparator(bytes, end);
            while (end > start && isBlank(bytes[end - 1]))
                --end;
            item = bytes.sliced(start, end - start);
        }

        if (item.size() < kMinIdiomBytes || item.size() > kMaxIdiomBytes)
            continue;
        QString text = decoder.decodeItem(item);
        // Bytes that are not Shift-JIS text and NUL characters (a binary or UTF-16 file)
        // never make an idiom: the player could not see or pick such a tile.
        if (text.size() != kIdiomLength || text.contains(QChar(u'\0')))
            continue;

        if (list.count == capacity) {
            list.overCapacity = true;
            break;
        }
        ++list.count;
        list.entries[static_cast<std::size_t>(list.count)] = std::move(text);
    }
    return list;
}

} // namespace horokata
