// Readings and meanings of the idioms: a UTF-8 file beside the lists, read on first use.
#include "idioms/idiom_dictionary.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace horokata {

namespace {

constexpr char kTab = '\t';
constexpr char kLf = '\n';
constexpr char kCr = '\r';
constexpr char kComment = '#';
constexpr qsizetype kIdiomLength = 4;
const QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
// Full-width colon after the line number of a side-panel line.
constexpr char16_t kLineNumberColon = u'：';

// A field is sound when it is not empty and holds no control character (tabs and line
// ends were split off already; anything else would garble a tooltip).
bool soundField(const QString &field)
{
    if (field.isEmpty())
        return false;
    for (const QChar c : field)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count)
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    return count;
}

// Parses one line without its line end; false when it is not a sound entry.
bool parseLine(QByteArrayView line, QString *idiom, IdiomEntry *entry)
{
    if (line.size() > kMaxDictionaryLineBytes)
        return false;
    // A decoder per line: a character cut off at the end of one line is that line's error.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(line);
    if (utf8.hasError())
        return false;
    const QList<QStringView> fields = QStringView(text).split(QLatin1Char(kTab));
    if (fields.size() != 3)
        return false;
    *idiom = fields[0].trimmed().toString();
    entry->reading = fields[1].trimmed().toString();
    entry->meaning = fields[2].trimmed().toString();
    return characterCount(*idiom) == kIdiomLength && soundField(*idiom) && !idiom->contains(QLatin1Char(' '))
           && soundField(entry->reading) && soundField(entry->meaning);
}

} // namespace

IdiomDictionary parseIdiomDictionary(QByteArrayView bytes)
{
    IdiomDictionary dictionary;
    if (bytes.startsWith(kUtf8Bom))
        bytes = bytes.sliced(kUtf8Bom.size());
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf(kLf, pos);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith(kCr))
            line.chop(1);
        if (line.isEmpty() || line.front() == kComment)
            continue;
        QString idiom;
        IdiomEntry entry;
        if (parseLine(line, &idiom, &entry) && !dictionary.contains(idiom))
            dictionary.insert(idiom, entry);
    }
    return dictionary;
}

IdiomDictionary readIdiomDictionary(const QString &path)
{
    // Only a regular file: opening a named pipe put in its place would wait for a writer.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    // One byte past the limit tells a file that is too long from one that just fits.
    QByteArray bytes = file.read(kMaxDictionaryBytes + 1);
    if (bytes.size() > kMaxDictionaryBytes) {
        bytes.truncate(kMaxDictionaryBytes);
        const qsizetype lastLineEnd = bytes.lastIndexOf(kLf);
        bytes.truncate(lastLineEnd < 0 ? 0 : lastLineEnd + 1);
    }
    return parseIdiomDictionary(bytes);
}

QString idiomOnLine(const QString &lineCaption)
{
    const qsizetype colon = lineCaption.indexOf(QChar(kLineNumberColon));
    return colon < 0 ? QString() : lineCaption.mid(colon + 1);
}

QString IdiomCards::readingOf(const QString &idiom)
{
    if (!dictionary_)
        dictionary_ = readIdiomDictionary(path_);
    const auto it = dictionary_->constFind(idiom);
    return it == dictionary_->cend() ? QString() : it->reading;
}

QString IdiomCards::cardForLine(const QString &lineCaption)
{
    const QString idiom = idiomOnLine(lineCaption);
    if (idiom.isEmpty())
        return QString();
    if (!dictionary_)
        dictionary_ = readIdiomDictionary(path_);
    const auto it = dictionary_->constFind(idiom);
    if (it == dictionary_->cend())
        return QString();
    return idiom + QLatin1Char('\n') + it->reading + QLatin1Char('\n') + it->meaning;
}

} // namespace horokata
