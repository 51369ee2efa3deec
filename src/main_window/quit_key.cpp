// Ctrl+Q while the main window is busy: the quit key still ends the program.
#include "main_window/quit_key.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace horokata {

QuitKeyWatch::QuitKeyWatch(QWidget *window, std::function<void()> quit)
    : QObject(window), window_(window), quit_(std::move(quit))
{
    qApp->installEventFilter(this);
}

bool QuitKeyWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !window_->isEnabled()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
        if (key->key() == Qt::Key_Q && mods == Qt::ControlModifier && !key->isAutoRepeat()) {
            // Queued: the quit ends the flows, which may delete the window this key is for.
            QMetaObject::invokeMethod(window_, quit_, Qt::QueuedConnection);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace horokata
