// The game's plain colours as Qt colours, for the main window's widgets.
#pragma once

#include "platform/colors.h"

#include <QColor>
#include <QString>

namespace horokata {

inline QColor toQColor(Rgb c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

// "#rrggbb", for style sheets.
inline QString cssColor(Rgb c)
{
    return toQColor(c).name();
}

} // namespace horokata
