// A tile of the board: a toggle drawn as a push button that reports press and release.
#pragma once

#include "platform/colors.h"

#include <QAbstractButton>

namespace horokata {

// The game decides the tile's pressed state; the button only reports press and release in
// the order the game expects.
class TileButton : public QAbstractButton {
    Q_OBJECT
public:
    TileButton(int index, QWidget *parent);
    void setColors(Rgb back, Rgb fore);
    // The tile carries a hint's mark (a corner flag, told in its accessible description).
    void setHinted(bool hinted);
    bool hinted() const { return hinted_; }
    int index() const { return index_; }

signals:
    void pressedWith(int index, Qt::MouseButton button);
    void releasedWith(int index, Qt::MouseButton button, bool inside);

protected:
    // Draws the keyboard focus frame too while the tile has the focus.
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
    Qt::MouseButtons pressed_; // the buttons pressed on this tile: a release without its press is no click
    bool hinted_ = false;
    Rgb back_ = 0;
    Rgb fore_ = 0;
};

} // namespace horokata
