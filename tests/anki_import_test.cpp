// The Anki export read back the way Anki's manual says a text file is imported (headers,
// comments, quoted fields, note type by name, fields by position), into an English-language
// and a Japanese-language collection.
#include "records/anki_export.h"

#include <QHash>
#include <QStringList>
#include <gtest/gtest.h>

using namespace horokata;

static inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

// A collection's note types: name → field names.
using NoteTypes = std::vector<std::pair<QString, QStringList>>;

struct ImportedNote {
    QString noteType;
    QHash<QString, QString> fields; // field name → content
    QString deck;
    QStringList tags;
};

// One record: fields split at tabs; a field that starts with a double quote runs to the next
// lone quote, "" standing for one quote, and may hold tabs and line breaks.
QStringList readRecord(const QString &text, qsizetype &at)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool fieldStart = true;
    for (; at < text.size(); ++at) {
        const QChar c = text[at];
        if (quoted) {
            if (c == u'"' && at + 1 < text.size() && text[at + 1] == u'"')
                field += text[++at];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == u'\t') {
            fields << field;
            field.clear();
            fieldStart = true;
        } else if (c == u'\n') {
            ++at;
            break;
        } else {
            field += c;
            fieldStart = false;
        }
    }
    fields << field;
    return fields;
}

// Imports `text` into a collection of `types`, where `lastUsed` is the note type Anki falls
// back to when the file names none it knows.
std::vector<ImportedNote> importText(const QString &text, const NoteTypes &types, const QString &lastUsed)
{
    QHash<QString, QString> headers;
    qsizetype at = 0;
    // Headers: #key:value lines at the top of the file.
    while (at < text.size() && text[at] == u'#') {
        const qsizetype end = text.indexOf(u'\n', at);
        const QString line = text.mid(at + 1, end - at - 1);
        headers.insert(line.section(u':', 0, 0).trimmed().toLower(), line.section(u':', 1));
        at = end + 1;
    }
    EXPECT_EQ(headers.value(QStringLiteral("separator")), QStringLiteral("tab"));
    EXPECT_EQ(headers.value(QStringLiteral("html")), QStringLiteral("true"));
    const auto named = [&](const QString &name) {
        return std::find_if(types.begin(), types.end(), [&](const auto &t) { return t.first == name; });
    };
    auto type = named(headers.value(QStringLiteral("notetype")));
    if (type == types.end())
        type = named(lastUsed);
    const int deckColumn = headers.value(QStringLiteral("deck column")).toInt();
    const int tagsColumn = headers.value(QStringLiteral("tags column")).toInt();
    EXPECT_FALSE(headers.contains(QStringLiteral("columns"))) << "fields would be matched by name";

    std::vector<ImportedNote> notes;
    while (at < text.size()) {
        if (text[at] == u'#') { // a comment
            at = text.indexOf(u'\n', at) + 1;
            continue;
        }
        const QStringList record = readRecord(text, at);
        ImportedNote note{type->first, {}, record.value(deckColumn - 1),
                          record.value(tagsColumn - 1).split(u' ', Qt::SkipEmptyParts)};
        // Fields by position over the columns that are not the deck's or the tags'.
        int field = 0;
        for (int column = 1; column <= record.size() && field < type->second.size(); ++column)
            if (column != deckColumn && column != tagsColumn)
                note.fields.insert(type->second[field++], record[column - 1]);
        notes.push_back(note);
    }
    return notes;
}

// A field's HTML as the card shows it in plain text.
QString plain(QString html)
{
    html.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    for (const auto &[entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        html.replace(QString::fromLatin1(entity), QString::fromLatin1(c));
    return html;
}

TEST(AnkiImportTest, EveryIdiomIsOneBasicNoteInEnglishAndJapaneseAnki)
{
    NotebookEntry a;
    a.record = {QStringLiteral("一石二鳥"), 0b0101, 3, 1, true, 1, 2, {}};
    a.reading = QStringLiteral("いっせきにちょう");
    a.meaning = QStringLiteral("two birds\twith one\r\nstone; a \"lucky\" <stroke> & more");
    NotebookEntry b; // a row that would start with # and a cell without a meaning
    b.record = {QStringLiteral("#異口同音"), 0b1000, 0, 2, false, 1, 2, {}};
    b.reading = QStringLiteral("いくどうおん");
    NotebookEntry c; // no reading: the back is the meaning alone
    c.record = {QStringLiteral("四苦八苦"), 0b0010, 1, 0, true, 1, 2, {}};
    c.meaning = QStringLiteral("agony");
    const QString text = QString::fromUtf8(ankiExportText({a, b, c}));
    ASSERT_FALSE(text.contains(u'\r'));

    const NoteTypes english = {{QStringLiteral("Basic"), {QStringLiteral("Front"), QStringLiteral("Back")}},
                               {QStringLiteral("Cloze"), {QStringLiteral("Text"), QStringLiteral("Back Extra")}}};
    // A Japanese-language Anki has no Basic: the player chooses 基本 in the import window.
    const NoteTypes japanese = {{QStringLiteral("穴埋め"), {QStringLiteral("テキスト"), QStringLiteral("追加情報")}},
                                {QStringLiteral("基本"), {QStringLiteral("表面"), QStringLiteral("裏面")}}};
    const struct {
        const NoteTypes &types;
        QString front, back, expectedType;
    } locales[] = {{english, QStringLiteral("Front"), QStringLiteral("Back"), QStringLiteral("Basic")},
                   {japanese, QStringLiteral("表面"), QStringLiteral("裏面"), QStringLiteral("基本")}};
    for (const auto &locale : locales) {
        const std::vector<ImportedNote> notes = importText(text, locale.types, QStringLiteral("基本"));
        ASSERT_EQ(notes.size(), 3u) << locale.expectedType.toStdString();
        for (const ImportedNote &n : notes) {
            EXPECT_EQ(n.noteType, locale.expectedType);
            EXPECT_EQ(n.deck, QStringLiteral("ホロカタ 四字熟語"));
            EXPECT_EQ(n.fields.size(), 2);
        }
        EXPECT_EQ(notes[0].fields.value(locale.front), QStringLiteral("一石二鳥"));
        EXPECT_EQ(plain(notes[0].fields.value(locale.back)),
                  QStringLiteral("いっせきにちょう\ntwo birds with one\nstone; a \"lucky\" <stroke> & more"));
        EXPECT_EQ(notes[0].tags, (QStringList{"初級", "特殊", "horokata"}));
        EXPECT_EQ(notes[1].fields.value(locale.front), QStringLiteral("#異口同音"));
        EXPECT_EQ(notes[1].fields.value(locale.back), QStringLiteral("いくどうおん"));
        EXPECT_EQ(notes[1].tags, (QStringList{"其他", "horokata"}));
        EXPECT_EQ(notes[2].fields.value(locale.back), QStringLiteral("agony"));
    }
    // The counts are there for the player, in the last column.
    EXPECT_TRUE(text.section(u'\n', 5, 5).endsWith(QStringLiteral("\t発見 3 回・見逃し 1 回"))) << text.toStdString();
}

} // namespace
