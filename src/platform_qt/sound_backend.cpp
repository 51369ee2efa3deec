// The sound module: plays WAV files through Qt Multimedia.
#include "platform_qt/sound_backend.h"

#include <QSoundEffect>
#include <QUrl>

#include <map>
#include <memory>

namespace {

class QtSoundBackend final : public horokata::SoundBackend {
public:
    void preload(const QString &path) override { effect(path); }

    void play(const QString &path) override
    {
        if (playing_)
            playing_->stop();
        playing_ = effect(path);
        playing_->play();
    }

    void stop() override
    {
        if (playing_)
            playing_->stop();
        playing_ = nullptr;
    }

private:
    // One effect per file, kept: a file read once plays again without reading.
    QSoundEffect *effect(const QString &path)
    {
        std::unique_ptr<QSoundEffect> &e = effects_[path];
        if (!e) {
            e = std::make_unique<QSoundEffect>();
            e->setSource(QUrl::fromLocalFile(path));
        }
        return e.get();
    }

    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
    QSoundEffect *playing_ = nullptr;
};

} // namespace

extern "C" Q_DECL_EXPORT horokata::SoundBackend *horokata_sound_backend()
{
    return new QtSoundBackend;
}
