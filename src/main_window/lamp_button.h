// A miss lamp of the side panel: a small flat square that acts on a release over it.
#pragma once

#include "platform/colors.h"

#include <QAbstractButton>

namespace horokata {

// It acts (clicked()) on the release of any mouse button over it, after a press on it; a
// press taken off the lamp before its release does nothing.
class LampButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit LampButton(QWidget *parent);
    void setColor(Rgb color);
    Rgb color() const { return color_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    Rgb color_;
    bool held_ = false;
};

} // namespace horokata
