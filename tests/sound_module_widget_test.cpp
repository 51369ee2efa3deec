// The sound module the game loads once its window is ready: it is found beside the program,
// gives a player, and takes the game's sounds read ahead, played, cut off and played again.
#include "platform_qt/sound_backend.h"

#include <QFileInfo>
#include <QLibrary>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace horokata;

TEST(SoundModule, LoadsFromTheProgramFolderAndPlaysTheSounds)
{
    QLibrary module(QStringLiteral(HOROKATA_PROGRAM_DIR "/") + QLatin1String(kSoundModuleName));
    const auto entry = reinterpret_cast<SoundBackendEntry>(module.resolve(kSoundBackendEntry));
    ASSERT_NE(entry, nullptr) << module.errorString().toStdString();
    const std::unique_ptr<SoundBackend> backend(entry());
    ASSERT_NE(backend, nullptr);

    const QString chimes = QStringLiteral(HOROKATA_PROGRAM_DIR "/system/Media/Chimes.wav");
    const QString chord = QStringLiteral(HOROKATA_PROGRAM_DIR "/system/Media/Chord.wav");
    ASSERT_TRUE(QFileInfo(chimes).isFile());
    ASSERT_TRUE(QFileInfo(chord).isFile());
    backend->preload(chimes);
    QTest::qWait(20);
    backend->play(chimes);
    backend->play(chord); // cuts off the first
    backend->play(chimes);
    backend->play(QStringLiteral(HOROKATA_PROGRAM_DIR "/system/Media/missing.wav")); // stays silent
    QTest::qWait(50);
}
