// The notebook as a file for Anki: its headers, one note per row, written all or nothing.
#include "records/anki_export.h"

#include "idioms/levels.h"

#include <QSaveFile>
#include <QStringList>

namespace horokata {

namespace {

bool isLineBreak(char16_t u)
{
    return u == u'\n' || u == u'\r' || u == 0x0B || u == 0x0C || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// Text as an HTML field on one row: markup characters escaped, line breaks as <br> (CR LF as
// one), tabs and other control characters as spaces.
QString htmlField(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        switch (u) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        default:
            if (isLineBreak(u))
                out += QStringLiteral("<br>");
            else
                out += (u < 0x20 || u == 0x7F) ? QChar(u' ') : QChar(u);
        }
    }
    return out;
}

// A field as it stands in the row. Anki reads a row that starts with # as a comment; quoted,
// the field is read as it is (it holds no double quote once escaped).
QString cell(const QString &html)
{
    return html.startsWith(u'#') ? u'"' + html + u'"' : html;
}

QString back(const NotebookEntry &e)
{
    const QString reading = htmlField(e.reading);
    const QString meaning = htmlField(e.meaning);
    if (reading.isEmpty() || meaning.isEmpty())
        return reading + meaning;
    return reading + QStringLiteral("<br>") + meaning;
}

// Anki separates tags by spaces: a space inside a level's name would split it.
QString tags(int levels)
{
    QStringList names;
    for (int level = 0; level < kLevelCount; ++level)
        if (levels & (1 << level))
            names << levelFileName(level).simplified().replace(u' ', u'_');
    names << kAnkiTag;
    return names.join(u' ');
}

QString counts(const NotebookRecord &r)
{
    return QStringLiteral("発見 %1 回・見逃し %2 回").arg(r.found).arg(r.missed);
}

} // namespace

QByteArray ankiExportText(const std::vector<NotebookEntry> &entries)
{
    QString text = QStringLiteral("#separator:tab\n#html:true\n#notetype:Basic\n");
    text += QStringLiteral("#tags column:%1\n#deck column:%2\n").arg(int(kAnkiTagsColumn)).arg(int(kAnkiDeckColumn));
    QStringList row;
    for (const NotebookEntry &e : entries) {
        row.clear();
        row.resize(kAnkiColumns);
        row[kAnkiFrontColumn - 1] = htmlField(e.record.idiom);
        row[kAnkiBackColumn - 1] = back(e);
        // Tags and deck are names, not HTML: Anki takes them as written.
        row[kAnkiTagsColumn - 1] = tags(e.record.levels);
        row[kAnkiDeckColumn - 1] = kAnkiDeck;
        row[kAnkiCountsColumn - 1] = counts(e.record);
        for (QString &field : row)
            field = cell(field);
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
