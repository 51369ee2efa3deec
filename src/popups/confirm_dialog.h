// The shaped confirmation dialog (object name "Form2") with its message modes.
#pragma once

#include "puzzle/program_state.h"

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QPointer>

class QLabel;
class QPushButton;

namespace horokata {

class ConfirmDialog : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog hidden and cuts it to the outline in g.strPATH + "msg.rgn"; a failed
    // outline leaves the window unshaped and its trouble in outlineTrouble.
    ConfirmDialog(ProgramState &g, QWidget *mainWindow);
    // Why the outline failed (intERR), None when it worked.
    Trouble outlineTrouble() const { return trouble_; }

    // Shows the message of `mode` (intMSG), naming `name` (strNAME) where the message has a
    // name, 66/72 pixels right/below the main window's top-left corner, and returns at once;
    // the answer comes with `answered` when the dialog hides. For a store notice, the lines of
    // `name` after its first are the details the message's tooltip tells.
    void SET_FORM2(DialogMode mode, const QString &name = QString());

    QString messageText() const;
    QString titleText() const;
    bool cancelShown() const;
    // The credit text that follows the version line in the version notice.
    QString creditText() const;

    // Press a button as the player would.
    void cmdOK_Click();     // "はい ○": hides the dialog, answering yes
    void cmdCANSEL_Click(); // "いいえ ×": hides the dialog, answering no
    void cmdLOGO_Click();   // the logo: only takes the focus away

public slots:
    // Any close other than the two buttons (the window manager's close, Esc) answers a
    // question with "いいえ ×", so nothing is thrown away, and dismisses a notice.
    void reject() override;

signals:
    // The dialog has hidden: true for "はい ○" (and a dismissed notice), false for "いいえ ×".
    void answered(bool yes);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Cuts the dialog to the outline in "msg.rgn".
    void SET_RGN();
    void buildTitleBar();
    void fitMessageFont();
    // Names the window and the focus sink for screen readers after the message now shown.
    void tellReader();

    ProgramState &g_;
    Trouble trouble_ = Trouble::None; // the outline's trouble (intERR)
    QPointer<QWidget> mainWindow_;
    QPixmap background_;
    QLabel *picBAR2 = nullptr;        // the title bar: the two answers and the caption
    QPushButton *cmdLOGO = nullptr;   // the game's logo at the bar's left end; does nothing
    QPushButton *cmdCANSEL = nullptr; // "いいえ ×": the answer no, shown for questions only
    QPushButton *cmdOK = nullptr;     // "はい ○": the answer yes, or dismisses a notice
    QLabel *lblCOM = nullptr;         // the caption: "＜ 処理確認 ＞" or "バージョン情報"
    QLabel *lblMSG = nullptr;         // the message of the mode
    QPushButton *Command1 = nullptr;  // focus sink outside the visible dialog
};

} // namespace horokata
