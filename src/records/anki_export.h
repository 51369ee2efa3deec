// The notebook written as a file that Anki imports: tab-separated UTF-8 with Anki's headers.
#pragma once

#include "records/notebook.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace horokata {

// The deck the notes go into; the deck column names it on every row, so that a first import
// creates it.
inline const QString kAnkiDeck = QStringLiteral("ホロカタ 四字熟語");
// The tag every note carries beside its levels.
inline const QString kAnkiTag = QStringLiteral("horokata");

// Columns of a row, counted from 1 as Anki counts. The two fields come first, so that Anki
// maps them by position to the first two fields of its Basic note type (Front, Back; 表面,
// 裏面 in a Japanese-language Anki) whatever their names; the counts come last, where no
// field of Basic reaches.
enum AnkiColumn {
    kAnkiFrontColumn = 1,  // the idiom
    kAnkiBackColumn = 2,   // the reading, <br>, the meaning
    kAnkiTagsColumn = 3,   // the levels and "horokata"
    kAnkiDeckColumn = 4,   // kAnkiDeck
    kAnkiCountsColumn = 5, // times found and missed, for the player's eyes
    kAnkiColumns = 5,
};

// The file's bytes: the headers
//   #separator:tab  #html:true  #notetype:Basic  #tags column:3  #deck column:4
// (no #columns: Anki then maps the fields by position), then one LF-terminated row per entry.
// Fields are HTML: &, <, > and " are escaped, a line break inside a field becomes <br>, a tab
// a space; a field that would start a line with # is quoted, so that it is not a comment.
QByteArray ankiExportText(const std::vector<NotebookEntry> &entries);

// Writes the file through QSaveFile: either the whole file is in place or nothing changed.
// Returns false with `error` set (in plain words) when it could not be written.
bool writeAnkiExport(const QString &path, const std::vector<NotebookEntry> &entries, QString *error = nullptr);

} // namespace horokata
