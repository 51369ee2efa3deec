// The "遊び方" window: the rules and the keys in short, opened with F1.
#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace horokata {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // Made hidden; `mainWindow` owns it, and it opens centred over that window.
    explicit HelpWindow(QWidget *mainWindow);

    // Shows the window over the main window (or brings it forward when it is open already),
    // with the focus on the text so that a screen reader reads it. Escape closes it.
    void present();

    // The help as plain text, as a screen reader gets it.
    QString text() const;

protected:
    void paintEvent(QPaintEvent *) override;
    // Closed, it hands the keys back to the game.
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *mainWindow_;
    QTextBrowser *body_ = nullptr;
    QPushButton *closeButton_ = nullptr;
};

} // namespace horokata
