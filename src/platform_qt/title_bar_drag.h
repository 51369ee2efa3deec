// Dragging a frameless window by the parts of its own title bar.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace horokata {

// An event filter on the title bar's parts: a press with any button there grabs the window
// as if by a real title bar. The window manager moves the window when it can; otherwise the
// window follows the pointer until the release.
class TitleBarDrag : public QObject {
public:
    explicit TitleBarDrag(QWidget *window);
    // Makes a press on `part` drag the window.
    void watch(QWidget *part);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
    bool dragging_ = false;
    QPoint offset_; // from the window's top-left corner to the pointer
};

} // namespace horokata
