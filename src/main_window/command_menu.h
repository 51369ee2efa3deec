// The command menu: every command of the main window with its key, opened by a right click
// on the title bar, the Menu key or Shift+F10; and the commands of window size and sound.
#pragma once

#include <QObject>
#include <QPoint>
#include <array>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace horokata {

class MainWindow;

class CommandMenu : public QObject {
    Q_OBJECT
public:
    // Built once on `window`, from its commands; `soundChanged` hears the sound switched on or off.
    CommandMenu(MainWindow &window, std::function<void(bool)> soundChanged);

    // A command joins the menu, in the order added; its key shows beside it. A command that
    // has no shortcut of its own names its key after a tab ("記録\tCtrl+H").
    void add(QAction *command);
    void addSeparator();

    // Opens the menu at `globalPos` without waiting for it: the game's one event loop goes on.
    void popup(QPoint globalPos);
    QMenu *menu() const { return menu_; }

    enum ViewCommand { kZoomIn, kZoomOut, kZoomReset, kSound, kViewCommands };
    QAction *viewCommand(ViewCommand c) const { return view_[std::size_t(c)]; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A command of this menu: an action of the main window with its own keys, acting once
    // per press and only while the main window is active.
    QAction *makeCommand(const QString &text, const QList<QKeySequence> &keys);
    void buildViewCommands();
    void addSizes();
    // The window at another size: saved at rest, then started again at that size. Nothing
    // happens while a flow runs or a popup waits, for a size that does not fit the screen, nor
    // while a board is in play and the records cannot keep it.
    void zoomTo(int percent);
    void zoomBy(int direction);
    QSize screenPixels() const;

    MainWindow &window_;
    QMenu *menu_ = nullptr;
    std::array<QAction *, kViewCommands> view_{};
    std::function<void(bool)> soundChanged_;
};

} // namespace horokata
