// The sound player as a module of its own. Qt Multimedia and the sound server's client
// libraries are large; the game loads them once its window is ready rather than at launch.
#pragma once

#include <QString>

namespace horokata {

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    // Reads the file ahead, so that its first play starts at once.
    virtual void preload(const QString &path) = 0;
    // Starts playing the file and returns at once; a newer sound cuts off one still playing.
    virtual void play(const QString &path) = 0;
    // Cuts off the sound playing now, if any.
    virtual void stop() = 0;
};

// The module's base name (libhorokata_sound.so beside the program) and its one entry point,
// a function without arguments that returns a new SoundBackend owned by the caller.
inline constexpr char kSoundModuleName[] = "horokata_sound";
inline constexpr char kSoundBackendEntry[] = "horokata_sound_backend";
using SoundBackendEntry = SoundBackend *(*)();

} // namespace horokata
