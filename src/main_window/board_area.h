// The board area behind the tiles: paints the colour gradient and reports presses on it.
#pragma once

#include <QFrame>

namespace horokata {

class BoardArea : public QFrame {
    Q_OBJECT
public:
    explicit BoardArea(QWidget *parent);
    // The colour scheme of the gradient, or -1 for the plain green of a board never dealt.
    void setScheme(int scheme);

signals:
    void pressedWith(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    int scheme_ = -1;
};

} // namespace horokata
