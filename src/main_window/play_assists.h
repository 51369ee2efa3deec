// The player's aids on the main window: the pause with its cover, and the hints.
#pragma once

#include <QObject>
#include <QWidget>

class QAction;

namespace horokata {

class BoardView;
class Game;
class KeyboardPlay;
class MainWindow;
class RecordsPresenter;

// The cover over a paused board: it holds the focus, and P, Space, Enter or a click on it go on.
class PauseCover : public QWidget {
    Q_OBJECT
public:
    explicit PauseCover(QWidget *parent);

signals:
    void goOn();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};

// A plain part of the main window: the commands 一時停止 (P, Pause) and ヒント (H), the pause
// when the player goes to another application or minimises, and the hint's news.
class PlayAssists : public QObject {
    Q_OBJECT
public:
    PlayAssists(MainWindow &window, Game &game, BoardView &view, KeyboardPlay &keys, RecordsPresenter &records);

    QAction *pauseAction() const { return pause_; }
    QAction *hintAction() const { return hint_; }
    PauseCover *cover() const { return cover_; }

    // Pauses the board in play, or goes on; nothing outside play or while a flow runs.
    void setPaused(bool paused);
    // The next hint on the board in play.
    void giveHint();
    // After every sync: the cover, the pause's check mark, the hint marks and count follow the game.
    void follow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool canAct() const; // a board in play, at rest, nothing open over it
    // The player left: the board pauses now, or once the running flow has ended.
    void playerLeft();

    MainWindow &window_;
    Game &game_;
    BoardView &view_;
    KeyboardPlay &keys_;
    RecordsPresenter &records_;
    QAction *pause_ = nullptr;
    QAction *hint_ = nullptr;
    PauseCover *cover_ = nullptr;
    bool pauseWhenFree_ = false; // the player left during a flow: pause once it ends
};

} // namespace horokata
