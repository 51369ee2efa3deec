// Start-up refusals and the fatal exit's message.
#include "app/startup.h"

#include "platform/platform.h"

namespace horokata {

const char *const kSecondInstance = "既に「ホロカタ」は起動しています！　　　　";
const char *const kDepth256 = "２５６色環境ではソフトを起動できません！　　　　";

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

} // namespace horokata
