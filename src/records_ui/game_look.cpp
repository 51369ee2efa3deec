// The look the game's own windows share.
#include "records_ui/game_look.h"

#include "platform_qt/fonts.h"
#include "platform_qt/ui_scale.h"

#include <QDateTime>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace horokata {

void applyGameLook(QWidget *window)
{
    window->setFont(gothicFont(10.5, true));
    // The frame's dark green (0, 32, 0), the side panel's green (0, 128, 0) for headings,
    // and the title bar's lavender (192, 192, 255) buttons with their white-and-slate bevel.
    window->setStyleSheet(scaledStyle(QStringLiteral(
        "#%1 { background: #002000; }"
        "QLabel { color: #ffffff; background: transparent; }"
        "QTableView { background: #f4fff4; alternate-background-color: #e4f4e4; color: #000040;"
        " gridline-color: #60a060; selection-background-color: #c0c0ff; selection-color: #000060;"
        " border: 1px solid #008000; }"
        "QHeaderView::section { background: #008000; color: #ffffff; border: none;"
        " border-right: 1px solid #004000; border-bottom: 1px solid #004000; padding: 2px 6px; }"
        "QTableCornerButton::section { background: #008000; border: none; }"
        "QPushButton { background: #c0c0ff; color: #000000; padding: 3px 10px;"
        " border-top: 1px solid #ffffff; border-left: 1px solid #ffffff;"
        " border-bottom: 1px solid #404060; border-right: 1px solid #404060; }"
        "QPushButton:pressed { border-top: 1px solid #404060; border-left: 1px solid #404060;"
        " border-bottom: 1px solid #ffffff; border-right: 1px solid #ffffff; }"
        "QPushButton:focus { border: 2px solid #000000; background: #ffffff; }"
        "QPushButton:disabled { background: #9090a0; color: #404040; }"
        "QLineEdit, QComboBox { background: #ffffff; color: #000040; border: 1px solid #008000; padding: 2px 4px; }"
        "QLineEdit:focus, QComboBox:focus { border: 2px solid #c0c0ff; }"
        "QComboBox QAbstractItemView { background: #ffffff; color: #000040;"
        " selection-background-color: #c0c0ff; selection-color: #000060; }")
                              .arg(window->objectName())));
}

void placeOverParent(QWidget *window)
{
    const QWidget *parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!parent || !parent->isVisible())
        return;
    if (const QScreen *screen = parent->screen())
        // At the larger sizes a window made for a large screen gives way to a smaller one.
        window->resize(window->size().boundedTo(screen->availableGeometry().size()));
    QRect frame(QPoint(), window->size());
    frame.moveCenter(parent->frameGeometry().center());
    if (const QScreen *screen = parent->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height())));
    }
    window->move(frame.topLeft());
}

QString formatLocalDateTime(qint64 msSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch).toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}

} // namespace horokata
