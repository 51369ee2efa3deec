// The shaped level menu (object name "Form4"): four entries and the arrow at the loaded level.
#pragma once

#include "idioms/levels.h"
#include "puzzle/program_state.h"

#include <QColor>
#include <QPixmap>
#include <QDialog>
#include <array>
#include <functional>

class QEventLoop;
class QLabel;

namespace horokata {

class LevelMenu : public QDialog {
    Q_OBJECT
public:
    // Loads the menu hidden and cuts it to the built-in outline; a failed outline sets
    // g.intERR to Trouble::MenuOutlineRefused or MenuOutlineNotApplied. `newFile` is the main window's
    // NEW_FILE, called with the chosen level.
    LevelMenu(ProgramState &g, QWidget *owner, std::function<void(int)> newFile);
    ~LevelMenu() override;

    // Opens the menu at (lngMENUX, lngMENUY) twips and returns once it is hidden again.
    void SET_MENU();
    // Hides the menu and lets pending window events run once.
    void SET_HIDE();

    QColor entryColor(int index) const;
    bool entryEnabled(int index) const;
    QLabel *entry(int index) const;
    QPoint arrowPos() const;
    bool arrowShown() const;

    void lblINDEX_MouseMove(int index);
    void lblINDEX_Click(int index);

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Up/Down move the highlight over the usable entries, Enter chooses, Esc closes.
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SET_RGN();
    void setEntryColor(int index, const QColor &color);
    int entryAt(const QPoint &pos) const;
    // The entry drawn in the highlight colour, -1 for none.
    int highlightedEntry() const;
    void highlightFromKeys(int index);

    ProgramState &g_;
    std::function<void(int)> newFile_;
    QPixmap background_;
    std::array<QLabel *, kLevelCount> lblINDEX{};
    std::array<QColor, kLevelCount> colors_;
    QLabel *imgARROW = nullptr;
    QEventLoop *loop_ = nullptr;
};

} // namespace horokata
