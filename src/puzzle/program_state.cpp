// Program-wide state: the sound slots and the small helpers around the program folder.
#include "puzzle/program_state.h"

#include "platform/platform.h"

namespace horokata {

#ifdef Q_OS_WIN
#define HK_SEP "\\"
#else
#define HK_SEP "/"
#endif

const std::array<const char *, kSoundCount> kSoundSuffixes = {
    HK_SEP "Media" HK_SEP "The Microsoft Sound.wav",
    HK_SEP "Media" HK_SEP "Chord.wav",
    HK_SEP "Media" HK_SEP "Chimes.wav",
    HK_SEP "Media" HK_SEP "Tada.wav",
};

const char *const kTitle = "ホロカタ";
const char *const kFatalTitle = "エラー＝強制終了！";

QString fatalMessage(Trouble trouble)
{
    return QString::number(static_cast<int>(trouble)) + QString::fromUtf8(" 重大なトラブル発生！　　　　");
}

QString CUT_NULL(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

void SET_SOUND(ProgramState &g, Platform &platform)
{
    const std::optional<QString> dir = platform.windowsDirectory();
    if (!dir || dir->isEmpty())
        return; // every slot stays silent
    g.setSystemFolder(CUT_NULL(*dir));
    for (int i = 0; i < kSoundCount; ++i) {
        SoundSlot &s = g.slot(Sound(i + 1));
        s.path = g.systemFolder() + QString::fromUtf8(kSoundSuffixes[static_cast<std::size_t>(i)]);
        s.playable = platform.fileExistsNormal(s.path);
    }
}

void playSound(ProgramState &g, Platform &platform, Sound sound)
{
    SoundSlot &s = g.slot(sound);
    if (!s.playable)
        return;
    if (!platform.playSound(s.path))
        s.playable = false;
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + QStringLiteral(HK_SEP);
}

} // namespace horokata
