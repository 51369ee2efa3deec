// The main window: title bar, board of 80 tiles, side panel; mirrors the game and forwards input.
#pragma once

#include "puzzle/board_focus.h"
#include "idioms/idiom_dictionary.h"
#include "puzzle/game.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QPushButton;
class QFrame;
class QKeyEvent;

namespace horokata {

class Platform;
class ConfirmDialog;
class LevelMenu;

// A tile: a toggle drawn as a push button. The game decides its pressed state; the button
// only reports press and release in the order the game expects.
class TileButton : public QAbstractButton {
    Q_OBJECT
public:
    TileButton(int index, QWidget *parent);
    void setColors(Rgb back, Rgb fore);
    int index() const { return index_; }

signals:
    void pressedWith(int index, Qt::MouseButton button);
    void releasedWith(int index, Qt::MouseButton button, bool inside);

protected:
    // Draws the keyboard focus frame while the tile has the focus.
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    // Keys are the main window's: the tile never acts on them itself.
    void keyPressEvent(QKeyEvent *) override {}
    void keyReleaseEvent(QKeyEvent *) override {}

private:
    int index_;
    bool held_ = false; // the left button went down on this tile and is still held
    Rgb back_ = 0;
    Rgb fore_ = 0;
};

// The board area: paints the colour gradient and reports presses on the bare board.
class BoardArea : public QFrame {
    Q_OBJECT
public:
    explicit BoardArea(QWidget *parent);
    void setScheme(int scheme);

signals:
    void pressedWith(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    int scheme_ = -1;
};

class MainWindow : public QWidget, public GameHost {
    Q_OBJECT
public:
    MainWindow(ProgramState &globals, Platform &platform, const QString &programFolder);
    ~MainWindow() override;

    // The window's construction sequence. Returns false when start-up must end
    // (a window outline failed, or the first list could not be read).
    bool Form_Load();

    // The game, to read; windows change it only through its methods.
    const Game &game() const { return game_; }
    // Mirror the game state into the widgets.
    void sync();

    // GameHost
    void SET_FORM2() override;
    void playCelebration() override;
    void closeMainWindow() override;

    // Stand-ins while the dialog and the effect are replaced (tests).
    std::function<void()> dialogOverride;
    std::function<void()> celebrationOverride;

    TileButton *tile(int i) const { return MOJI[static_cast<std::size_t>(i)]; }
    QLabel *line(int k) const { return lblGO[static_cast<std::size_t>(k)]; }
    QAbstractButton *lamp(int h) const { return chkLIFE[static_cast<std::size_t>(h)]; }
    QLabel *statusLabel() const { return lblGOKU; }
    QLabel *levelLabel() const { return lblLEVEL; }
    QLabel *cover() const { return imgOFF; }
    BoardArea *board() const { return picBACK; }
    QPushButton *button(const char *name) const;

    void cmdEXIT_Click();
    void cmdMENU_Click();
    void cmdSELECT_Press(QPoint pressPos);
    void cmdSELECT_Release();
    void imgSYS_MouseDown(int x);
    void imgSYS_MouseUp();

    // Where the keyboard focus is: nowhere visible (the off-screen sink, where every mouse
    // click puts it), a title-bar button, a tile of the board, or a miss lamp.
    enum class KeyArea { None, Button, Board, Lamp };
    KeyArea keyArea() const { return keyArea_; }
    // The focused board cell (kept while the focus is elsewhere), or title button / lamp index.
    int focusCell() const { return boardCell_; }
    int keyIndex() const { return keyIndex_; }
    // The widget that carries the keyboard focus for the area above.
    QWidget *keyFocusWidget();
signals:
    // The window has closed: the program is ending.
    void closed();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildControls();
    void placeStatus();
    void ERR_END();
    // The dialog and the menu are made on first use, like windows that load when called.
    ConfirmDialog *form2();
    void loadForm4();
    void unloadPopups();
    void onTileReleased(int index, Qt::MouseButton button, bool inside);
    void startDrag(QMouseEvent *e);
    // The menu position as if `cmdSELECT` were pressed at `pressPos`, and the menu itself.
    void storeMenuPosition(QPoint pressPos);
    void openLevelMenu();

    // Keyboard play (keyboard_play.cpp).
    // Mouse paths: the focus goes to the off-screen sink, so no frame shows.
    void focusSink();
    bool handleKey(QKeyEvent *e);
    void moveKeyFocus(KeyArea area, int index);
    void cycleKeyFocus(bool next);
    void activateFromKeys();
    // After every sync: the focus follows its cell or lamp, and the board's news is told.
    void applyKeyFocus();
    void tellNews();
    void backToWindow();
    std::array<QPushButton *, 5> titleButtons() const;
    // The line's card (idiom, reading, meaning) as its tooltip and accessible description.
    void showCard(QLabel *line, const QString &caption);

    ProgramState &g_;
    Platform &p_;
    Game game_;
    QString programFolder_;
    IdiomCards cards_;

    QFrame *picBAR = nullptr;
    QPushButton *cmdMENU = nullptr;
    QPushButton *cmdEXIT = nullptr;
    QPushButton *cmdRESET = nullptr;
    QPushButton *cmdSELECT = nullptr;
    QPushButton *cmdNEW = nullptr;
    QLabel *imgSYS = nullptr;
    QLabel *lblGOKU = nullptr;
    QLabel *lblLEVEL = nullptr;
    QLabel *imgOFF = nullptr;
    BoardArea *picBACK = nullptr;
    std::array<TileButton *, kCells> MOJI{};
    QFrame *picSIDE = nullptr;
    std::array<QLabel *, kIdioms> lblGO{};
    std::array<QAbstractButton *, kLamps> chkLIFE{};
    QLabel *Label1 = nullptr;
    QPushButton *cmdFOCUS = nullptr;
    std::array<QPixmap, 3> imgSYSStates;
    QPixmap background_;

    QPointer<ConfirmDialog> form2_;
    QPointer<LevelMenu> form4_;
    bool dragging_ = false;
    QPoint dragOffset_;

    KeyArea keyArea_ = KeyArea::None;
    int keyIndex_ = 0;
    int boardCell_ = 0;
    BoardNews news_;
    QStringList pendingNews_;
    QPointer<QWidget> newsHolder_;
    // Set when the window closes. Flows still on the stack then run to their end without
    // asking questions or playing the celebration.
    bool closed_ = false;
};

} // namespace horokata
