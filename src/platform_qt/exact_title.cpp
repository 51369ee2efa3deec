// Window titles shown exactly as the game words them.
#include "platform_qt/exact_title.h"

#include <QGuiApplication>

namespace horokata {

// Every title ends with an empty display name, so none gets a name appended.
ExactWindowTitles::ExactWindowTitles()
    : displayName_(QGuiApplication::applicationDisplayName())
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral(""));
}

ExactWindowTitles::~ExactWindowTitles()
{
    QGuiApplication::setApplicationDisplayName(displayName_);
}

} // namespace horokata
