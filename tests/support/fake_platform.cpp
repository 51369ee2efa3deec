// A scripted stand-in for the machine, for tests.
#include "support/fake_platform.h"

#include <QFileInfo>

namespace horokata {

FakePlatform::FakePlatform() = default;

horokata::FlowTask<> FakePlatform::doEvents()
{
    ++eventCount;
    log << QStringLiteral("events");
    if (onEvents)
        onEvents();
    co_return;
}

horokata::FlowTask<> FakePlatform::sleepMs(int ms)
{
    clock += static_cast<std::uint32_t>(ms);
    log << QStringLiteral("sleep %1").arg(ms);
    co_return;
}

std::uint32_t FakePlatform::tickMs()
{
    return clock;
}

float FakePlatform::rnd()
{
    if (!randoms.empty()) {
        const float r = randoms.front();
        randoms.pop_front();
        return r;
    }
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(gen_) * 0.99999f;
}

void FakePlatform::randomize()
{
    log << QStringLiteral("randomize");
}

void FakePlatform::beep()
{
    log << QStringLiteral("beep");
}

bool FakePlatform::playSound(const QString &path)
{
    log << QStringLiteral("sound ") + path;
    return soundSystem;
}

void FakePlatform::setBusyPointer(bool b)
{
    busy = b;
    log << QStringLiteral("busy %1").arg(b ? 1 : 0);
}

void FakePlatform::messageBox(const QString &text, const QString &title)
{
    log << QStringLiteral("box ") + title + u'|' + text;
}

horokata::FlowTask<> FakePlatform::notice(const QString &text, const QString &title)
{
    messageBox(text, title);
    co_return;
}

std::optional<QString> FakePlatform::windowsDirectory()
{
    return windowsDir;
}

bool FakePlatform::previousInstance()
{
    return otherInstance;
}

void FakePlatform::raisePreviousInstance()
{
    log << QStringLiteral("raise other");
}

int FakePlatform::colorDepth()
{
    return depth;
}

bool FakePlatform::fileExistsNormal(const QString &path)
{
    if (hiddenFiles.contains(path))
        return false;
    if (extraFiles.contains(path))
        return true;
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile() && !fi.isHidden();
}

std::int64_t FakePlatform::fileLength(const QString &path)
{
    if (fileSizes.contains(path))
        return fileSizes.value(path);
    const QFileInfo fi(path);
    return fi.exists() ? fi.size() : -1;
}

} // namespace horokata
