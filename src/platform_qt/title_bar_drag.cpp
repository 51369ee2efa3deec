// Dragging a frameless window by the parts of its own title bar.
#include "platform_qt/title_bar_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace horokata {

TitleBarDrag::TitleBarDrag(QWidget *window) : QObject(window), window_(window) {}

void TitleBarDrag::watch(QWidget *part)
{
    part->installEventFilter(this);
}

bool TitleBarDrag::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (QWindow *w = window_->windowHandle(); w && window_->isVisible() && w->startSystemMove())
            return true;
        dragging_ = true;
        offset_ = static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - window_->pos();
        return true;
    }
    case QEvent::MouseMove:
        if (dragging_) {
            window_->move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - offset_);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (dragging_) {
            dragging_ = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace horokata
