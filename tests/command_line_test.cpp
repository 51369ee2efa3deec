// The program's command line, run as the real binary without a display: --help and --version,
// unknown options, and --export-notebook against a store that a running game holds open.
#include "idioms/idiom_dictionary.h"
#include "records/records_store.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace horokata;

namespace {

const QString kProgram = QStringLiteral(HOROKATA_PROGRAM_DIR "/horokata");

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // The program with no display at all: a window, or even a GUI application, would fail.
    Outcome run(const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(kProgram, arguments);
        EXPECT_TRUE(p.waitForFinished(30000)) << "the program did not end";
        Outcome r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString recordsPath() const { return dir.filePath(QStringLiteral("data/horokata/records.sqlite")); }

    QTemporaryDir dir;
};

TEST_F(CommandLineTest, HelpAndVersionAnswerWithoutADisplay)
{
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: horokata [options]\n"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--export-notebook <FILE>")));
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const Outcome version = run({QStringLiteral("-v")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("horokata 1.0\n"));

    // A wrong option next to a terminal one is refused, on stderr, before anything else.
    const Outcome wrong = run({QStringLiteral("--export-notebook"), dir.filePath(QStringLiteral("x.txt")), QStringLiteral("--bogus")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("bogus"))) << wrong.err.toStdString();
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.txt"))));

    // Alone, with no display to open a window on, it is refused the same way.
    const Outcome alone = run({QStringLiteral("--bogus")});
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_TRUE(alone.err.contains(QStringLiteral("bogus"))) << alone.err.toStdString();
}

TEST_F(CommandLineTest, ExportNotebookWritesEveryIdiomWhileTheGameHoldsTheStore)
{
    const QString deck = dir.filePath(QStringLiteral("deck.txt"));
    const Outcome none = run({QStringLiteral("--export-notebook"), deck});
    EXPECT_EQ(none.exitCode, 1) << "no records yet";
    EXPECT_TRUE(none.err.contains(recordsPath())) << none.err.toStdString();
    EXPECT_FALSE(QFile::exists(deck));

    // The game's store, open for writing the whole time: a lost board of real idioms, the
    // first three found.
    RecordsStore game;
    ASSERT_EQ(game.open(recordsPath()).status, OpenOutcome::Status::Ok);
    QStringList idioms = readIdiomDictionary(QStringLiteral(HOROKATA_PROGRAM_DIR "/") + QString::fromUtf8(kDictionaryFileName)).keys();
    ASSERT_GE(idioms.size(), kIdioms);
    idioms.sort();
    idioms.removeAll(QStringLiteral("異口同音"));
    idioms.prepend(QStringLiteral("異口同音"));
    DealtBoard b;
    QString text;
    for (int k = 0; k < kIdioms; ++k) {
        b.strGOKU[std::size_t(k)] = idioms[k];
        text += idioms[k];
    }
    for (int i = 0; i < kCells; ++i)
        b.strMOJI[std::size_t(i)] = text.mid(i, 1);
    const DealIds ids = game.recordDeal(b);
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(game.recordPick(ids.attemptId, PickResult::Found, k + 1, idioms[k], 1000));
    ASSERT_TRUE(game.endAttempt(ids.attemptId, BoardEnd::GaveUp, 0, 2000));

    const Outcome done = run({QStringLiteral("--export-notebook"), deck});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_TRUE(done.out.contains(QStringLiteral("20 idioms"))) << done.out.toStdString();
    QFile file(deck);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains('\r'));
    ASSERT_TRUE(bytes.endsWith('\n'));
    QStringList headers;
    QHash<QString, QStringList> rows;
    for (const QString &line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#')) {
            headers << line;
            continue;
        }
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 5) << line.toStdString();
        rows.insert(fields[0], fields);
    }
    EXPECT_TRUE(headers.contains(QStringLiteral("#separator:tab")));
    EXPECT_TRUE(headers.contains(QStringLiteral("#notetype:Basic")));
    ASSERT_EQ(rows.size(), kIdioms);
    const QStringList first = rows.value(QStringLiteral("異口同音"));
    ASSERT_EQ(first.size(), 5);
    EXPECT_TRUE(first[1].startsWith(QStringLiteral("いくどうおん、いこうどうおん<br>"))) << "readings from the program folder";
    EXPECT_TRUE(first[1].contains(QStringLiteral("unanimously")));
    EXPECT_EQ(first.mid(2), (QStringList{"初級 horokata", "ホロカタ 四字熟語", "発見 1 回・見逃し 0 回"}));
    EXPECT_EQ(rows.value(idioms[19]).last(), QStringLiteral("発見 0 回・見逃し 1 回"));

    // "-" is standard output: the same notes, the count on stderr.
    const Outcome piped = run({QStringLiteral("--export-notebook"), QStringLiteral("-")});
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out.toUtf8(), bytes);
    EXPECT_TRUE(piped.err.contains(QStringLiteral("20 idioms"))) << piped.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("-"))));
    // An option that only prints never silently cancels the export.
    const Outcome mixed = run({QStringLiteral("--export-notebook"), deck, QStringLiteral("--version")});
    EXPECT_EQ(mixed.exitCode, 2);
    EXPECT_TRUE(mixed.err.contains(QStringLiteral("--version"))) << mixed.err.toStdString();
    EXPECT_TRUE(mixed.out.isEmpty());

    // A place that cannot be written: a non-zero exit, the reason on stderr, no file.
    QFile blocker(dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString bad = dir.filePath(QStringLiteral("plain-file/deck.txt"));
    const Outcome failed = run({QStringLiteral("--export-notebook"), bad});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains(QStringLiteral("cannot write"))) << failed.err.toStdString();
    EXPECT_FALSE(QFile::exists(bad));

    // The game's store went on working beside the reader.
    EXPECT_TRUE(game.available());
    EXPECT_EQ(game.summary().total.played, 1);
}

} // namespace
