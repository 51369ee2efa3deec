// The real platform layer on Qt: events, timers, sounds, pointer, message boxes, instance lock.
#pragma once

#include "platform/platform.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <random>

class QLockFile;
class QSoundEffect;

namespace horokata {

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    void doEvents() override;
    void sleepMs(int ms) override;
    std::uint32_t tickMs() override;
    float rnd() override;
    void randomize() override;
    void beep() override;
    bool playSound(const QString &path) override;
    void setBusyPointer(bool busy) override;
    void messageBox(const QString &text, const QString &title, bool plain = false) override;
    std::optional<QString> windowsDirectory() override;
    bool previousInstance() override;
    int colorDepth() override;
    bool fileExistsNormal(const QString &path) override;
    std::int64_t fileLength(const QString &path) override;

    // Runs before pending events are processed: the main window mirrors the game state here.
    std::function<void()> beforeEvents;

    // Where the per-user instance lock lives.
    static QString lockPath();

private:
    QElapsedTimer clock_;
    std::mt19937 gen_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QSoundEffect> sound_;
    bool busy_ = false;
};

} // namespace horokata
