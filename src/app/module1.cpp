// Program-wide variables, sound slots and the start-up refusals.
#include "app/module1.h"

#include "platform/platform.h"

namespace horokata {

#ifdef Q_OS_WIN
#define HK_SEP "\\"
#else
#define HK_SEP "/"
#endif

const std::array<const char *, 4> kSoundSuffixes = {
    HK_SEP "Media" HK_SEP "The Microsoft Sound.wav",
    HK_SEP "Media" HK_SEP "Chord.wav",
    HK_SEP "Media" HK_SEP "Chimes.wav",
    HK_SEP "Media" HK_SEP "Tada.wav",
};

const char *const kTitle = "ホロカタ";
const char *const kSecondInstance = "既に「ホロカタ」は起動しています！　　　　";
const char *const kDepth256 = "２５６色環境ではソフトを起動できません！　　　　";
const char *const kFatalTitle = "エラー＝強制終了！";

QString CUT_NULL(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

void SET_SOUND(Module1 &g, Platform &platform)
{
    const std::optional<QString> dir = platform.windowsDirectory();
    if (!dir || dir->isEmpty())
        return; // every slot stays silent
    g.strWIN = CUT_NULL(*dir);
    for (std::size_t i = 0; i < g.wav.size(); ++i) {
        g.wav[i].path = g.strWIN + QString::fromUtf8(kSoundSuffixes[i]);
        g.wav[i].playable = platform.fileExistsNormal(g.wav[i].path) ? vbTrue : vbFalse;
    }
}

void playSlot(Module1 &g, Platform &platform, int slot)
{
    if (slot < 1 || slot > 4)
        return;
    SoundSlot &s = g.wav[static_cast<std::size_t>(slot - 1)];
    if (!s.playable)
        return;
    if (!platform.playSound(s.path))
        s.playable = vbFalse;
}

bool startupAllowed(Platform &platform)
{
    if (platform.previousInstance()) {
        platform.messageBox(QString::fromUtf8(kSecondInstance), QString::fromUtf8(kTitle));
        return false;
    }
    if (platform.colorDepth() == 8) {
        platform.messageBox(QString::fromUtf8(kDepth256), QString::fromUtf8(kTitle));
        return false;
    }
    return true;
}

QString fatalMessage(int trouble)
{
    return QString::number(trouble) + QString::fromUtf8(" 重大なトラブル発生！　　　　");
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + QStringLiteral(HK_SEP);
}

} // namespace horokata
