// The real platform layer on Qt: events, timers, sounds, pointer, message boxes, instance lock.
#pragma once

#include "platform/flow_waits.h"
#include "platform/platform.h"
#include "platform_qt/sound_backend.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <random>

class QLockFile;

namespace horokata {

class RaiseChannel;

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    FlowTask<> doEvents() override;
    FlowTask<> sleepMs(int ms) override;
    void stopFlows() override;
    std::uint32_t tickMs() override;
    float rnd() override;
    void randomize() override;
    void beep() override;
    bool playSound(const QString &path) override;
    void stopSound() override;
    void setBusyPointer(bool busy) override;
    void messageBox(const QString &text, const QString &title) override;
    FlowTask<> notice(const QString &text, const QString &title) override;
    std::optional<QString> windowsDirectory() override;
    bool previousInstance() override;
    void raisePreviousInstance() override;
    int colorDepth() override;
    bool fileExistsNormal(const QString &path) override;
    std::int64_t fileLength(const QString &path) override;

    // Runs before a flow suspends: the main window mirrors the game state here.
    std::function<void()> beforeEvents;

    // Loads the sound module and reads the given files ahead. Called once the window is
    // ready; a sound asked for earlier loads the module on the spot.
    void preloadSounds(const QStringList &paths);

    // False while the player has the sound off: no sound and no beep at all.
    bool soundOn = true;

    // Runs when a later start of the game asks this copy to come to the front.
    std::function<void()> onRaiseRequest;

    // Where the per-user instance lock lives, and where the copy holding it listens.
    static QString lockPath();
    static QString raiseChannelPath();

private:
    FlowWaits waits_;
    QElapsedTimer clock_;
    std::mt19937 gen_;
    std::unique_ptr<QLockFile> lock_;
    void listenForLaterStarts();
    std::unique_ptr<RaiseChannel> raiseChannel_;
    // The sound module's player; null until loaded, and for good when it cannot be.
    SoundBackend *soundBackend();
    std::unique_ptr<SoundBackend> sound_;
    bool soundLoadTried_ = false;
    bool busy_ = false;
};

} // namespace horokata
