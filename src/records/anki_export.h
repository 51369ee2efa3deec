// The notebook written as a file that Anki imports: tab-separated UTF-8 with Anki's headers.
#pragma once

#include "records/notebook.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace horokata {

// The deck the notes go into.
inline const QString kAnkiDeck = QStringLiteral("ホロカタ 四字熟語");

// The file's bytes: the headers
//   #separator:tab  #html:false  #notetype:Basic  #deck:ホロカタ 四字熟語
//   #columns:…  #tags column:6
// then one LF-terminated row per entry: idiom, reading, meaning, times found, times missed,
// and the level tags (level names separated by spaces). Tabs and line breaks inside a field
// become spaces, so a field never breaks a row.
QByteArray ankiExportText(const std::vector<NotebookEntry> &entries);

// Writes the file through QSaveFile: either the whole file is in place or nothing changed.
// Returns false with `error` set (in plain words) when it could not be written.
bool writeAnkiExport(const QString &path, const std::vector<NotebookEntry> &entries, QString *error = nullptr);

} // namespace horokata
