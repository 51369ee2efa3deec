// The player's view settings (window size and sound), kept apart from the records.
#include "app/view_settings.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

namespace horokata {

namespace {

const QString kScaleKey = QStringLiteral("view/scale");
const QString kSoundKey = QStringLiteral("view/sound");

QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("horokata"), QStringLiteral("horokata"));
}

bool fits(int percent, const QSize &available)
{
    const QSize size = scaledWindowSize(percent);
    return size.width() <= available.width() && size.height() <= available.height();
}

} // namespace

bool isScaleStep(int percent)
{
    return std::find(kScaleSteps.begin(), kScaleSteps.end(), percent) != kScaleSteps.end();
}

QSize scaledWindowSize(int percent)
{
    const double f = percent / 100.0;
    return QSize(int(std::lround(kBaseWindowSize.width() * f)), int(std::lround(kBaseWindowSize.height() * f)));
}

int largestFittingScale(int percent, const QSize &available)
{
    int best = kScaleSteps.front();
    for (int step : kScaleSteps)
        if (step <= percent && fits(step, available))
            best = step;
    return best;
}

std::optional<int> neighbourScale(int percent, int direction, const QSize &available)
{
    const auto at = std::find(kScaleSteps.begin(), kScaleSteps.end(), percent);
    if (at == kScaleSteps.end())
        return std::nullopt;
    const auto index = std::distance(kScaleSteps.begin(), at) + direction;
    if (index < 0 || index >= std::ssize(kScaleSteps))
        return std::nullopt;
    const int step = kScaleSteps[std::size_t(index)];
    if (direction > 0 && !fits(step, available))
        return std::nullopt;
    return step;
}

int ViewSettings::scale()
{
    bool ok = false;
    const int percent = settings().value(kScaleKey, kDefaultScale).toInt(&ok);
    return ok && isScaleStep(percent) ? percent : kDefaultScale;
}

void ViewSettings::setScale(int percent)
{
    settings().setValue(kScaleKey, percent);
}

bool ViewSettings::soundOn()
{
    return settings().value(kSoundKey, true).toBool();
}

void ViewSettings::setSoundOn(bool on)
{
    settings().setValue(kSoundKey, on);
}

QString ViewSettings::filePath()
{
    return settings().fileName();
}

} // namespace horokata
