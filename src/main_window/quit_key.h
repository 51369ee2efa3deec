// Ctrl+Q while the main window is busy: the quit key still ends the program.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace horokata {

// Watches the whole application: while `window` is disabled (a deal, a close-up, the
// celebration), its own shortcuts are off, so a fresh Ctrl+Q pressed in any of the game's
// windows calls `quit` here. At rest the window's own shortcut answers instead.
class QuitKeyWatch : public QObject {
public:
    QuitKeyWatch(QWidget *window, std::function<void()> quit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
    std::function<void()> quit_;
};

} // namespace horokata
