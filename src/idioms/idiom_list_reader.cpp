// Idiom list files: the size test and the item reader over Shift-JIS (code page 932) bytes.
#include "idioms/idiom_list_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>

namespace horokata {

namespace {

// The list is decoded once and split on the decoded text. That gives the same items as
// splitting the raw bytes: in code page 932 a double-byte character has a lead byte in
// 0x81-0x9F or 0xE0-0xFC and a trail byte in 0x40-0x7E or 0x80-0xFC, so none of the
// separators below (all under 0x40) can be half of a kanji, and the decoder never takes
// one into a broken sequence.
constexpr char16_t kComma = u',';
constexpr char16_t kQuote = u'"';
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

constexpr qsizetype kIdiomLength = Idiom::kLength;

// Comma, CR and LF as bits of one word: a kanji is told apart with a single comparison.
constexpr std::uint64_t kItemEnds = (1ULL << kComma) | (1ULL << kCr) | (1ULL << kLf);

bool endsItem(char16_t c) { return c < 64 && ((kItemEnds >> c) & 1U) != 0; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

const char16_t *findItemEnd(const char16_t *p, const char16_t *end)
{
    while (p < end && !endsItem(*p))
        ++p;
    return p;
}

// Steps past the separator at `p` (a CR LF pair is one line end).
const char16_t *pastSeparator(const char16_t *p, const char16_t *end)
{
    if (p == end)
        return end;
    if (*p == kCr && p + 1 < end && p[1] == kLf)
        return p + 2;
    return p + 1;
}

// An item of four characters makes an idiom unless it holds a NUL: a NUL byte (a binary
// or UTF-16 file) or bytes that are not code page 932 text, which the decoder turns into
// NUL. The player could not see or pick such a tile.
bool isIdiom(const char16_t *item, qsizetype length)
{
    return length == kIdiomLength && item[0] != u'\0' && item[1] != u'\0' && item[2] != u'\0'
        && item[3] != u'\0';
}

// The whole list as text. ICU knows the Windows variant under this name (0x5C is a
// backslash, 0x8160 is U+FF5E, the NEC and IBM extension rows are mapped). Every byte
// sequence it cannot decode becomes one NUL, so an item holding such bytes still ends at
// its own separator and never makes an idiom. A null string when there is no ICU.
QString decodeList(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-31j", QStringConverter::Flag::ConvertInvalidToNull);
    if (!decoder.isValid())
        return QString();
    // The decoder holds back a lead byte cut off by the end of the file; one more line end
    // pushes it out as a NUL. That line end is not part of the file and is dropped again.
    constexpr char kFlush = '\n';
    QString text(decoder.requiredSpace(bytes.size()) + decoder.requiredSpace(1), Qt::Uninitialized);
    QChar *out = decoder.appendToBuffer(text.data(), bytes);
    out = decoder.appendToBuffer(out, QByteArrayView(&kFlush, 1));
    if (out > text.constData() && out[-1] == QLatin1Char(kFlush))
        --out;
    text.truncate(out - text.constData());
    return text;
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
    const std::size_t entryCount = static_cast<std::size_t>(capacity) + 1;

    ParsedIdiomList list;
    // Entry 0 stays empty; the idioms follow it and the unused rest is added at the end,
    // so that every entry is written once.
    std::vector<Idiom> &entries = list.entries;
    entries.reserve(entryCount);
    entries.emplace_back();
    int count = 0;

    const QString text = decodeList(bytes);
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = p + text.size();
    while (p < end) {
        while (p < end && isBlank(*p))
            ++p;
        if (p == end)
            break; // blanks at the very end are not an item

        const char16_t *item;
        const char16_t *itemEnd;
        if (*p == kQuote) {
            // A quoted item runs to the closing quote, separators included; whatever
            // follows the quote up to the next separator is dropped. An unclosed quote
            // runs to the end of the file.
            item = p + 1;
            itemEnd = std::find(item, end, kQuote);
            p = itemEnd == end ? end : pastSeparator(findItemEnd(itemEnd + 1, end), end);
        } else {
            // An unquoted item loses its trailing blanks, so "一石二鳥 " still counts.
            item = p;
            itemEnd = findItemEnd(p, end);
            p = pastSeparator(itemEnd, end);
            while (itemEnd > item && isBlank(itemEnd[-1]))
                --itemEnd;
        }

        if (!isIdiom(item, itemEnd - item))
            continue;
        if (count == capacity) {
            list.overCapacity = true;
            break;
        }
        ++count;
        entries.emplace_back(item);
    }
    list.count = count;
    list.entries.resize(entryCount);
    return list;
}

std::optional<ParsedIdiomList> readIdiomListFile(const QString &path, int capacity)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Never more than the largest acceptable file: a file that grew since the size test
    // cannot make us read without bound.
    const QByteArray bytes = file.read(kMaxListBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxListBytes)
        return std::nullopt;
    file.close();
    ParsedIdiomList parsed = parseIdiomList(QByteArrayView(bytes), capacity);
    if (parsed.overCapacity)
        return std::nullopt;
    return parsed;
}

std::optional<ParsedIdiomList> readIdiomListFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !listSizeAcceptable(info.size()))
        return std::nullopt;
    return readIdiomListFile(path, listCapacity(info.size()));
}

} // namespace horokata
