// Start-up refusals and the fatal exit's message.
#include "app/startup.h"

#include "platform/platform.h"

namespace horokata {

const char *const kSecondInstance = "既に「ホロカタ」は起動しています！　　　　";
const char *const kDepth256 = "２５６色環境ではソフトを起動できません！　　　　";
const char *const kFatalTitle = "エラー＝強制終了！";

bool startupAllowed(Platform &platform)
{
    if (platform.previousInstance()) {
        platform.messageBox(QString::fromUtf8(kSecondInstance), QString::fromUtf8(kTitle));
        // Once the refusal is read, the copy that runs comes forward, so the player finds it.
        platform.raisePreviousInstance();
        return false;
    }
    if (platform.colorDepth() == 8) {
        platform.messageBox(QString::fromUtf8(kDepth256), QString::fromUtf8(kTitle));
        return false;
    }
    return true;
}

QString fatalMessage(Trouble trouble)
{
    return QString::number(static_cast<int>(trouble)) + QString::fromUtf8(" 重大なトラブル発生！　　　　");
}

} // namespace horokata
