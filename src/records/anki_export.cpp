// The notebook as a file for Anki: its headers, one note per row, written all or nothing.
#include "records/anki_export.h"

#include "idioms/levels.h"

#include <QSaveFile>
#include <QStringList>

namespace horokata {

namespace {

// Column of the level tags, counted from 1 as Anki counts.
constexpr int kTagsColumn = 6;

// A field on one line: tabs and line breaks become spaces. A field holding a double quote is
// quoted, quotes doubled, so that the importer never reads it as the start of a quoted field.
QString field(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool lineBreak = u == u'\n' || u == u'\r' || u == 0x0B || u == 0x0C || u == 0x85 || u == 0x2028 || u == 0x2029;
        out += (u == u'\t' || lineBreak || (u < 0x20)) ? QChar(u' ') : c;
    }
    if (out.contains(u'"'))
        out = u'"' + out.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return out;
}

QString tags(int levels)
{
    QStringList names;
    for (int level = 0; level < kLevelCount; ++level)
        if (levels & (1 << level))
            names << SET_strFILE(level);
    return names.join(u' ');
}

} // namespace

QByteArray ankiExportText(const std::vector<NotebookEntry> &entries)
{
    QString text;
    text += QStringLiteral("#separator:tab\n#html:false\n#notetype:Basic\n");
    text += QStringLiteral("#deck:") + kAnkiDeck + u'\n';
    text += QStringLiteral("#columns:熟語\t読み\t意味\t見つけた回数\t見逃した回数\tTags\n");
    text += QStringLiteral("#tags column:%1\n").arg(kTagsColumn);
    for (const NotebookEntry &e : entries) {
        const QStringList row = {field(e.record.idiom), field(e.reading),  field(e.meaning),
                                 QString::number(e.record.found), QString::number(e.record.missed),
                                 field(tags(e.record.levels))};
        text += row.join(u'\t') + u'\n';
    }
    return text.toUtf8();
}

bool writeAnkiExport(const QString &path, const std::vector<NotebookEntry> &entries, QString *error)
{
    QSaveFile file(path);
    const auto failed = [&] {
        if (error)
            *error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    const QByteArray bytes = ankiExportText(entries);
    if (file.write(bytes) != bytes.size())
        return failed();
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace horokata
