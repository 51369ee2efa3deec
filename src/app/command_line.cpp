// The command line: --help, --version and --export-notebook.
#include "app/command_line.h"

#include "idioms/idiom_dictionary.h"
#include "records/anki_export.h"
#include "records/notebook.h"
#include "records/records_store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace horokata {

namespace {

const QString kExportOption = QStringLiteral("export-notebook");
// The file name that stands for standard output.
const QString kStandardOutput = QStringLiteral("-");

void say(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

void sayError(const QString &text)
{
    say(stderr, QStringLiteral("horokata: %1\n").arg(text));
}

void setUp(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Horokata (ホロカタ): a puzzle game of four-character idioms (四字熟語) hidden in a board of 80 kanji tiles.\n"
        "Started without options, it opens the game's window."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(kExportOption,
                                        QStringLiteral("Write every idiom met (the notebook) to FILE as a tab-separated "
                                                       "file that Anki imports, then exit; - writes to standard output."),
                                        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("scale"),
                                        QStringLiteral("Open the window at PERCENT of its size for this run: 100, 125, 150, 175 or 200."),
                                        QStringLiteral("PERCENT")));
}

// The help, with the program's name rather than the path it was started by.
QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    if (text.startsWith(QStringLiteral("Usage: ")) && lineEnd > 0)
        text.replace(0, lineEnd, QStringLiteral("Usage: horokata [options]"));
    return text;
}

bool isTerminalOption(const char *arg)
{
    const QByteArray a(arg);
    for (const char *name : {"-h", "-?", "--help", "--help-all", "-v", "--version", "--export-notebook"})
        if (a == name)
            return true;
    return a.startsWith("--export-notebook=");
}

// Without a display and without a platform chosen, the GUI application aborts on its start;
// what the arguments get wrong must be said before that.
bool noDisplay(int argc, char **argv)
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name))
            return false;
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).contains("platform"))
            return false;
    return true;
}

} // namespace

std::optional<int> runTerminalCommand(int &argc, char **argv)
{
    bool terminal = false;
    for (int i = 1; i < argc && qstrcmp(argv[i], "--") != 0; ++i)
        terminal = terminal || isTerminalOption(argv[i]);
    if (!terminal && noDisplay(argc, argv)) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        return refuseUnknownArguments(arguments);
    }
    if (!terminal)
        return std::nullopt;

    // A core application only: these commands must work without a display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("horokata"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HOROKATA_VERSION));
    QCommandLineParser parser;
    setUp(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        sayError(parser.errorText() + QStringLiteral("\nTry 'horokata --help' for more information."));
        return kExitUsage;
    }
    // An export given with an option that only prints would be cancelled by it without a word.
    if (parser.isSet(kExportOption)) {
        for (const char *printing : {"help", "help-all", "version"}) {
            if (parser.isSet(QString::fromLatin1(printing))) {
                sayError(QStringLiteral("--%1 cannot be given with --export-notebook\nTry 'horokata --help' for more information.")
                             .arg(QString::fromLatin1(printing)));
                return kExitUsage;
            }
        }
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(QCoreApplication::arguments()); // Qt's own help with its options; exits
    if (parser.isSet(QStringLiteral("help"))) {
        say(stdout, helpText(parser));
        return kExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        say(stdout, QStringLiteral("horokata %1\n").arg(QCoreApplication::applicationVersion()));
        return kExitOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        sayError(QStringLiteral("unexpected argument '%1'\nTry 'horokata --help' for more information.")
                     .arg(parser.positionalArguments().constFirst()));
        return kExitUsage;
    }
    const QString file = parser.value(kExportOption);
    if (file.isEmpty()) {
        sayError(QStringLiteral("--export-notebook needs a file name"));
        return kExitUsage;
    }
    return exportNotebookCommand(file, RecordsStore::defaultPath(),
                                 QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromUtf8(kDictionaryFileName)));
}

std::optional<int> refuseUnknownArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    setUp(parser);
    if (!parser.parse(arguments)) {
        sayError(parser.errorText() + QStringLiteral("\nTry 'horokata --help' for more information."));
        return kExitUsage;
    }
    if (!parser.positionalArguments().isEmpty()) {
        sayError(QStringLiteral("unexpected argument '%1'\nTry 'horokata --help' for more information.")
                     .arg(parser.positionalArguments().constFirst()));
        return kExitUsage;
    }
    return std::nullopt;
}

int exportNotebookCommand(const QString &file, const QString &recordsPath, const QString &dictionaryPath)
{
    if (!QFileInfo::exists(recordsPath)) {
        sayError(QStringLiteral("no records to export yet: %1 does not exist (play a board first)").arg(recordsPath));
        return kExitFailed;
    }
    RecordsStore store;
    const OpenOutcome opened = store.open(recordsPath, RecordsStore::Mode::ReadOnly);
    if (opened.status != OpenOutcome::Status::Ok) {
        sayError(QStringLiteral("cannot read the records in %1: %2").arg(recordsPath, opened.reason));
        return kExitFailed;
    }
    const IdiomDictionary dictionary = readIdiomDictionary(dictionaryPath);
    if (dictionary.isEmpty())
        sayError(QStringLiteral("warning: no readings or meanings could be read from %1; the notes carry the idioms alone")
                     .arg(dictionaryPath));
    const Notebook notebook(store.notebook(), dictionary);
    const std::vector<NotebookEntry> entries = notebook.select(NotebookQuery{});
    if (file == kStandardOutput) {
        // The notes are the output: the count goes to stderr, out of their way.
        const QByteArray bytes = ankiExportText(entries);
        if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) != std::size_t(bytes.size())
            || std::fflush(stdout) != 0) {
            sayError(QStringLiteral("cannot write the notes to standard output"));
            return kExitFailed;
        }
        say(stderr, QStringLiteral("%1 idioms written to standard output\n").arg(entries.size()));
        return kExitOk;
    }
    QString error;
    if (!writeAnkiExport(file, entries, &error)) {
        sayError(QStringLiteral("cannot write %1: %2").arg(file, error));
        return kExitFailed;
    }
    say(stdout, QStringLiteral("%1 idioms written to %2\n").arg(entries.size()).arg(file));
    return kExitOk;
}

} // namespace horokata
