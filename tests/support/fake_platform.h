// A scripted stand-in for the machine, for tests: records what the game asked of it.
#pragma once

#include "platform/platform.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <random>

namespace horokata {

class FakePlatform : public Platform {
public:
    FakePlatform();

    // Both complete at once, after logging: a flow run here runs to its end in one call.
    horokata::FlowTask<> doEvents() override;
    horokata::FlowTask<> sleepMs(int ms) override;
    // Nothing ever waits here.
    void stopFlows() override {}
    std::uint32_t tickMs() override;
    float rnd() override;
    void randomize() override;
    void beep() override;
    bool playSound(const QString &path) override;
    void stopSound() override { log << QStringLiteral("sound stop"); }
    void setBusyPointer(bool busy) override;
    void messageBox(const QString &text, const QString &title) override;
    // Logged like messageBox, and done at once.
    horokata::FlowTask<> notice(const QString &text, const QString &title) override;
    std::optional<QString> windowsDirectory() override;
    bool previousInstance() override;
    void raisePreviousInstance() override;
    int colorDepth() override;
    bool fileExistsNormal(const QString &path) override;
    std::int64_t fileLength(const QString &path) override;

    // Script: random numbers are taken from `randoms` first, then from a seeded generator.
    std::deque<float> randoms;
    void seed(unsigned s) { gen_.seed(s); }
    std::optional<QString> windowsDir;
    bool otherInstance = false;
    int depth = 32;
    bool soundSystem = true; // false: playSound reports that no call could be made
    // Paths that do not exist whatever the disk says; paths that exist only here.
    QSet<QString> hiddenFiles;
    QSet<QString> extraFiles;
    // Sizes reported for these paths, whatever the disk holds.
    QHash<QString, std::int64_t> fileSizes;

    // Record of what happened, one entry per call: "events", "sleep 800", "beep",
    // "sound <path>", "busy 1", "busy 0", "box <title>|<text>", "randomize", "raise other".
    QStringList log;
    int eventCount = 0;
    std::uint32_t clock = 0;
    bool busy = false;
    // Runs at every doEvents (for instance to snapshot the board).
    std::function<void()> onEvents;

    int count(const QString &entry) const { return static_cast<int>(log.count(entry)); }

private:
    std::mt19937 gen_{12345};
};

} // namespace horokata
