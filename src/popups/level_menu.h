// The shaped level menu (object name "Form4"): four entries and the arrow at the loaded level.
#pragma once

#include "idioms/levels.h"
#include "puzzle/program_state.h"

#include <QColor>
#include <QPixmap>
#include <QDialog>
#include <array>

class QLabel;

namespace horokata {

class LevelMenu : public QDialog {
    Q_OBJECT
public:
    // Loads the menu hidden and cuts it to the built-in outline; a failed outline leaves
    // Trouble::MenuOutlineRefused or MenuOutlineNotApplied in outlineTrouble.
    LevelMenu(ProgramState &g, QWidget *owner);
    // Why the outline failed (intERR), None when it worked.
    Trouble outlineTrouble() const { return trouble_; }

    // Opens the menu at (lngMENUX, lngMENUY) twips and returns at once; the choice comes with
    // `answered` when the menu hides.
    void SET_MENU();
    // Hides the menu.
    void SET_HIDE();
    // While a review board is in play the loaded level is a choice too: it leaves the review.
    void setLoadedChoosable(bool on) { loadedChoosable_ = on; }

    QColor entryColor(int index) const;
    bool entryEnabled(int index) const;
    QLabel *entry(int index) const;
    QPoint arrowPos() const;
    bool arrowShown() const;

    // The pointer over an entry: a usable one turns red, the one red before blue.
    void lblINDEX_MouseMove(int index);
    // A click on an entry: a usable one closes the menu, choosing its level.
    void lblINDEX_Click(int index);

signals:
    // The menu has hidden: the level chosen, or -1 when it closed without a change (the
    // loaded level chosen again, Esc, a click on its background).
    void answered(int level);

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Up/Down move the highlight over the usable entries, Enter chooses, Esc closes.
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Cuts the menu to its built-in outline.
    void SET_RGN();
    void setEntryColor(int index, const QColor &color);
    int entryAt(const QPoint &pos) const;
    // The entry drawn in the highlight colour, -1 for none.
    int highlightedEntry() const;
    void highlightFromKeys(int index);

    ProgramState &g_;
    Trouble trouble_ = Trouble::None; // the outline\'s trouble (intERR)
    QPixmap background_;
    std::array<QLabel *, kLevelCount> lblINDEX{}; // the four entries, one per level
    std::array<QColor, kLevelCount> colors_;
    QLabel *imgARROW = nullptr; // the arrow beside the loaded level's entry
    int chosen_ = -1;           // the level clicked while the menu is open, -1 none
    bool loadedChoosable_ = false; // choosing the loaded level answers it (a review board is in play)
};

} // namespace horokata
