// The command line: --help, --version and --export-notebook answer in the terminal and open
// no window; anything else it does not know, or an export mixed with an option that only
// prints, is refused with a message.
#pragma once

#include <QStringList>
#include <optional>

namespace horokata {

// Exit codes of the terminal commands.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // the export could not be done
constexpr int kExitUsage = 2;  // an option or argument the program does not know

// Runs a terminal command when the arguments ask for one: builds its own QCoreApplication
// (so it needs no display) and returns the exit code. Returns nothing when the game should
// start; call it before any application object exists.
std::optional<int> runTerminalCommand(int &argc, char **argv);

// The arguments left once the GUI application took its own: an exit code with a message on
// stderr when they hold something the game does not know, else nothing.
std::optional<int> refuseUnknownArguments(const QStringList &arguments);

// Writes the whole notebook of the records file at `recordsPath`, with readings and meanings
// from the dictionary at `dictionaryPath`, to `file` ("-": standard output) for Anki. Opens the records read-only,
// so the game may be running. Says what happened on stdout or stderr; returns the exit code.
int exportNotebookCommand(const QString &file, const QString &recordsPath, const QString &dictionaryPath);

} // namespace horokata
