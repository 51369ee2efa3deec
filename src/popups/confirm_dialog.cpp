// The shaped confirmation dialog (object name "Form2") with its seven message modes.
#include "popups/confirm_dialog.h"

#include "platform_qt/fonts.h"
#include "platform_qt/screen_fit.h"
#include "platform_qt/ui_scale.h"
#include "platform_qt/title_bar_drag.h"
#include "outline/region.h"
#include "popups/window_shape.h"

#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStringList>

namespace horokata {

namespace {

const QString kTitleConfirm = QStringLiteral("＜ 処理確認 ＞");
const QString kTitleVersion = QStringLiteral("バージョン情報");
const QString kVersionLine = QStringLiteral("『 ホロカタ 』  Ver.1.0");
const QString kBuiltInCredit = QStringLiteral("四字熟語データ: EDICT/KANJIDIC (C) EDRDG, CC BY-SA 4.0");

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(caption);
    b->setGeometry(geometry);
    // Enter is the dialog's own key; a focused button must not swallow it.
    b->setAutoDefault(false);
    return b;
}

} // namespace

ConfirmDialog::ConfirmDialog(ProgramState &g, QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint), g_(g), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("ホロカタ"));
    background_ = popupArt(QStringLiteral("dialog_background.png"));

    // The dialog loads hidden, 380 x 85 pixels at 100 %, and is cut to its outline at once: a
    // failed outline must be known before the main window finishes loading.
    setFixedSize(scaled(QSize(380, 85)));
    SET_RGN();

    lblMSG = new QLabel(this);
    lblMSG->setObjectName(QStringLiteral("lblMSG"));
    lblMSG->setGeometry(scaled(64, 40, 289, 33));
    lblMSG->setFont(gothicFont(9.75, true));
    lblMSG->setWordWrap(true);
    lblMSG->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblMSG->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); background: transparent;"));

    buildTitleBar();

    // Off-window focus sink: after each click the focus goes here so no visible control keeps a frame.
    Command1 = makeButton(this, "Command1", QStringLiteral("Command1"), scaled(392, 8, 25, 25));

    setTabOrder(cmdLOGO, cmdOK);
    setTabOrder(cmdOK, cmdCANSEL);
    setTabOrder(cmdCANSEL, Command1);

    connect(cmdOK, &QPushButton::clicked, this, &ConfirmDialog::cmdOK_Click);
    connect(cmdCANSEL, &QPushButton::clicked, this, &ConfirmDialog::cmdCANSEL_Click);
    connect(cmdLOGO, &QPushButton::clicked, this, &ConfirmDialog::cmdLOGO_Click);

    // The title bar and its caption drag the window.
    auto *drag = new TitleBarDrag(this);
    drag->watch(lblCOM);
    drag->watch(picBAR2);
}

// The title bar with its two answers and its caption. Its controls sit inside its
// one-pixel frame.
void ConfirmDialog::buildTitleBar()
{
    picBAR2 = new QLabel(this);
    picBAR2->setObjectName(QStringLiteral("picBAR2"));
    picBAR2->setGeometry(scaled(4, 4, 362, 19));
    picBAR2->setFrameStyle(QFrame::Box | QFrame::Plain);
    picBAR2->setLineWidth(scaled(1));
    picBAR2->setStyleSheet(scaledStyle(QStringLiteral("QLabel#picBAR2 { border: 1px solid rgb(0, 255, 0); }")));
    picBAR2->setPixmap(popupArt(QStringLiteral("dialog_title_bar.png")));
    picBAR2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPoint inside = scaled(QPoint(1, 1));

    const QFont buttonFont = gothicFont(9);
    cmdLOGO = makeButton(picBAR2, "cmdLOGO", QString(), QRect(inside, scaled(QSize(17, 17))));
    cmdLOGO->setAccessibleName(QStringLiteral("ホロカタ"));
    cmdLOGO->setIcon(QIcon(popupArt(QStringLiteral("dialog_logo.png"))));
    cmdLOGO->setIconSize(scaled(QSize(13, 14)));
    cmdLOGO->setStyleSheet(scaledStyle(QStringLiteral("QPushButton { background: rgb(0, 192, 0); border: 1px solid rgb(0, 96, 0); }"
                                                      "QPushButton:pressed { background: rgb(0, 128, 0); }")));

    const QString buttonStyle = scaledStyle(QStringLiteral(
        "QPushButton { background: rgb(192, 192, 255); color: rgb(0, 0, 96); border: 1px solid rgb(0, 0, 128); }"
        "QPushButton:hover { background: rgb(216, 216, 255); }"
        "QPushButton:pressed { background: rgb(160, 160, 240); }"));
    cmdCANSEL = makeButton(picBAR2, "cmdCANSEL", QStringLiteral("いいえ ×"), QRect(inside + scaled(QPoint(16, 0)), scaled(QSize(81, 17))));
    cmdOK = makeButton(picBAR2, "cmdOK", QStringLiteral("はい ○"), QRect(inside + scaled(QPoint(96, 0)), scaled(QSize(81, 17))));
    for (QPushButton *b : {cmdCANSEL, cmdOK}) {
        b->setFont(buttonFont);
        b->setStyleSheet(buttonStyle);
    }

    // The caption label, two pixels lower than the buttons.
    lblCOM = new QLabel(picBAR2);
    lblCOM->setObjectName(QStringLiteral("lblCOM"));
    lblCOM->setGeometry(QRect(inside + scaled(QPoint(192, 0 + 2)), scaled(QSize(97, 17))));
    lblCOM->setFont(buttonFont);
    // Lowered into the bar's bottom edge, so the text hangs from the top to stay whole.
    lblCOM->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCOM->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255); background: transparent;"));
}

static_assert(kRgnMissing == static_cast<int>(Trouble::DialogOutlineMissing)
              && kRgnReadError == static_cast<int>(Trouble::DialogOutlineUnreadable)
              && kRgnRefused == static_cast<int>(Trouble::DialogOutlineRefused)
              && kRgnNotApplied == static_cast<int>(Trouble::DialogOutlineNotApplied));

void ConfirmDialog::SET_RGN()
{
    std::vector<RECT> rects;
    int trouble = loadRegionFile(g_.programFolder() + QStringLiteral("msg.rgn"), &rects);
    if (trouble == kRgnOk && !applyWindowShape(this, regionFromRects(rects)))
        trouble = kRgnNotApplied;
    // The outline's results 1..4 are the dialog's trouble numbers.
    if (trouble != kRgnOk)
        trouble_ = static_cast<Trouble>(trouble);
}

QString ConfirmDialog::creditText() const
{
    QFile file(g_.programFolder() + QStringLiteral("CREDITS.txt"));
    if (file.open(QIODevice::ReadOnly)) {
        QStringList lines;
        // A credit file is a few lines; anything larger is not ours to show in full.
        const QString text = QString::fromUtf8(file.read(4096));
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            const QString t = line.trimmed();
            if (!t.isEmpty())
                lines << t;
        }
        if (!lines.isEmpty())
            return lines.join(QLatin1Char(' '));
    }
    return kBuiltInCredit;
}

void ConfirmDialog::SET_FORM2(DialogMode mode, const QString &name)
{
    const QPoint origin = mainWindow_ ? mainWindow_->pos() : QPoint();
    moveOnScreen(this, origin + scaled(QPoint(66, 72)));
    lblCOM->setText(kTitleConfirm);

    QString message;
    // A store notice's name carries, after its first line, the details its tooltip tells.
    const QString named = name.section(u'\n', 0, 0);
    const QString details = name.section(u'\n', 1);
    const bool question = isQuestion(mode);
    bool known = true;
    switch (mode) {
    case DialogMode::ReadError: message = QStringLiteral("＜") + name + QStringLiteral("＞ 読み込みエラー！ ＝ 強制終了！"); break;
    case DialogMode::DiscardBoard: message = QStringLiteral("現在の「 面 」を破棄します！　よろしいですか？"); break;
    case DialogMode::DiscardLevelBoard: message = QStringLiteral("現在の") + g_.levelLabel() + QStringLiteral("を破棄します！　よろしいですか？"); break;
    case DialogMode::FileMissing: message = QStringLiteral("ファイル ＜") + name + QStringLiteral("＞ が見つかりません！"); break;
    case DialogMode::FileInvalid: message = QStringLiteral("ファイル ＜") + name + QStringLiteral("＞ が不正です！"); break;
    case DialogMode::Version:
        message = kVersionLine + QLatin1Char('\n') + creditText();
        lblCOM->setText(kTitleVersion);
        break;
    case DialogMode::GiveUp: message = QStringLiteral("この「 面 」を 降参放棄 しますか？"); break;
    case DialogMode::RecordsSetAside:
        message = QStringLiteral("記録ファイルが読めません！　＜") + named + QStringLiteral("＞ に退避しました");
        break;
    case DialogMode::RecordsUnavailable: message = QStringLiteral("記録を保存できません！　記録なしで続けます"); break;
    case DialogMode::BoardSetAside: message = QStringLiteral("前回の「 面 」を再開できません！　破棄して始めます"); break;
    case DialogMode::ClearLevelRecords: message = name + QStringLiteral("の記録をすべて消去します！　よろしいですか？"); break;
    case DialogMode::RecordsRepaired: message = QStringLiteral("記録ファイルに傷んだ所がありました！　ほかの記録はそのまま使います"); break;
    case DialogMode::RecordsReadOnly:
        message = QStringLiteral("記録ファイルに書き込めません！　記録は増えず、毎回同じ「 面 」から再開します");
        break;
    case DialogMode::RecordsNewer: message = QStringLiteral("記録ファイルは新しいホロカタのものです！　読むだけで、記録は増えません"); break;
    case DialogMode::FlowFault:
        message = QStringLiteral("思わぬエラーが起きました！　＜") + name + QStringLiteral("＞");
        break;
    default: known = false; break; // other values keep the previous message and buttons
    }
    if (known) {
        lblMSG->setText(message);
        lblMSG->setAccessibleName(message);
        // A store notice is one short sentence; what happened, in full, is its tooltip.
        const bool storeNotice = mode >= DialogMode::RecordsSetAside && mode != DialogMode::FlowFault && !question;
        lblMSG->setToolTip(mode == DialogMode::Version ? message : storeNotice ? details : QString());
        cmdCANSEL->setVisible(question);
        fitMessageFont();
    }
    lblCOM->setAccessibleName(lblCOM->text());
    // Window lists name the dialog by its caption: "処理確認" or "バージョン情報".
    setWindowTitle(QString(lblCOM->text()).remove(QChar(u'＜')).remove(QChar(u'＞')).trimmed());
    tellReader();

    Command1->setFocus();
    show();
    raise();
    activateWindow();
}

void ConfirmDialog::tellReader()
{
    // While the dialog is up the focus rests on the unseen sink, so that is what a screen
    // reader announces: it and the window carry the caption as their name and the message with
    // its answers as their description.
    QString answers = QStringLiteral("Enter：") + cmdOK->text();
    if (cancelShown())
        answers += QStringLiteral("　Esc：") + cmdCANSEL->text();
    const QString told = QString(lblMSG->text()).replace(QLatin1Char('\n'), QLatin1Char(' '))
                         + QStringLiteral("（") + answers + QStringLiteral("）");
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(Command1)}) {
        w->setAccessibleName(lblCOM->text());
        w->setAccessibleDescription(told);
    }
}

void ConfirmDialog::fitMessageFont()
{
    // The message area is two lines high; the longer version text steps the font down to fit.
    QFont font = gothicFont(9.75, true);
    for (double pt = 9.75; pt >= 7.0; pt -= 0.75) {
        font.setPointSizeF(scaledF(pt));
        const QRect need = QFontMetrics(font).boundingRect(QRect(0, 0, lblMSG->width(), 1000),
                                                           Qt::TextWordWrap, lblMSG->text());
        if (need.height() <= lblMSG->height())
            break;
    }
    lblMSG->setFont(font);
}

QString ConfirmDialog::messageText() const
{
    return lblMSG->text();
}

QString ConfirmDialog::titleText() const
{
    return lblCOM->text();
}

bool ConfirmDialog::cancelShown() const
{
    return !cmdCANSEL->isHidden();
}

void ConfirmDialog::cmdOK_Click()
{
    Command1->setFocus();
    hide();
    emit answered(true);
}

void ConfirmDialog::cmdCANSEL_Click()
{
    Command1->setFocus();
    hide();
    emit answered(false);
}

void ConfirmDialog::cmdLOGO_Click()
{
    Command1->setFocus();
}

void ConfirmDialog::reject()
{
    if (!isVisible())
        return;
    if (cancelShown())
        cmdCANSEL_Click();
    else
        cmdOK_Click();
}

void ConfirmDialog::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Only what lies inside the outline: the key colour around it never shows.
    if (!mask().isEmpty())
        p.setClipRegion(mask());
    p.drawPixmap(0, 0, background_);
}

void ConfirmDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter answers "はい"; Esc answers "いいえ" to a question and dismisses a notice.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdOK_Click();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace horokata
