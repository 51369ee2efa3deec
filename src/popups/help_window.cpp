// The "遊び方" window: the rules and the keys in short, opened with F1.
#include "popups/help_window.h"

#include "platform_qt/fonts.h"
#include "platform_qt/screen_fit.h"
#include "platform_qt/ui_scale.h"
#include "platform_qt/title_bar_drag.h"
#include "popups/window_shape.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>

namespace horokata {

namespace {

const QString kHelpTitle = QStringLiteral("遊び方");
constexpr QSize kSize(500, 429);

// The rules as the game words them, then the keys; the README is the full reference.
const char *const kHelpHtml = R"(
<p>・盤の８０文字に、四字熟語が２０個隠れています。</p>
<p>・熟語の４文字を、読む順に左クリックで選びます。当たれば右の一覧に載り、その４文字が消えて残りが右と上へ詰まります。右クリックで選び直せます。</p>
<p>・逆の順でも一覧にある熟語なら当たりです（閉門蟄居と蟄居閉門のように、まだ見つけていない熟語と同じ４文字で、その級の一覧に載っている並びなら、その熟語を見つけたことになります）。</p>
<p>・間違えるたびに「手違」のランプが一つ消え、３回間違えると終了。見つからなかった熟語が表示されます。ランプをクリックすると降参放棄できます。</p>
<p>・２０個すべて見つけると拍手喝采！　次のクリックでお祝いです。</p>
<p>・一覧の熟語を指すと、読みと意味が出ます。</p>
<p>・途中で終了しても、次に起動すると同じ盤が続きから始まります（盤の文字、見つけた熟語、手違、経過時間、選びかけの文字）。</p>
<p>・タイトルバー右の時計が、その盤の経過時間です（１時間を超えると 時:分:秒）。一時停止すると盤が隠れて時計が止まります。ほかのソフトに移ったり最小化したりしても一時停止します。P・スペース・Enter・クリックで再開します。</p>
<p>・ヒントは、まだ見つけていない熟語の読みを出します。もう一度でその熟語の最初の字に赤い印が付き、その次は次の熟語に移ります。使った数は時計の下に出て、盤と一緒に保存されます。</p>
<p>・記録は級ごとに、対局数、勝ち、勝率、連勝中、最長連勝、最短時間、平均時間、ノーミス（手違なしの勝ち）と、最近の対局を数えます。途中で新規・選択・再度に移った盤は負けに数えます。</p>
<p>・再度でやり直した盤は「練習」です（レベル名が＜練習＞）。最近の対局には載りますが、対局数・勝ち・連勝・時間には数えません。ヒントを使って勝った盤は勝ちと平均時間に数えますが、最短時間・ノーミス・新記録にはなりません。</p>
<h3>コマンドとキー</h3>
<p>タイトルバーを右クリック、またはメニューキー・Shift+F10 で、すべてのコマンドの一覧が開きます。</p>
<table cellspacing="0" cellpadding="1">
<tr><td>新規</td><td>Ctrl+N</td><td>新しい「 面 」（タイトルバーの「新規」）</td></tr>
<tr><td>再度</td><td>F5</td><td>同じ「 面 」をもう一度（「再度」）</td></tr>
<tr><td>選択</td><td>Ctrl+L</td><td>レベルを選ぶ（「選択」、↑↓、Enter で決定）</td></tr>
<tr><td>記録</td><td>Ctrl+H</td><td>成績（レベル名をダブルクリック）</td></tr>
<tr><td>単語帳</td><td>Ctrl+I</td><td>出会った熟語（一覧の熟語をクリック）</td></tr>
<tr><td>一時停止</td><td>P・Pause</td><td>盤を隠して時計を止める（コマンド一覧）</td></tr>
<tr><td>ヒント</td><td>H</td><td>読み、次に最初の文字（コマンド一覧）</td></tr>
<tr><td>復習</td><td>Ctrl+R</td><td>覚えたい熟語の盤（単語帳の「復習」）</td></tr>
<tr><td>拡大</td><td>Ctrl++</td><td>窓を大きく（125〜200 %）</td></tr>
<tr><td>縮小</td><td>Ctrl+-</td><td>窓を小さく</td></tr>
<tr><td>標準の大きさ</td><td>Ctrl+0</td><td>100 %（大きさはコマンド一覧からも選べます）</td></tr>
<tr><td>音</td><td>M</td><td>音を出す・出さない（コマンド一覧）</td></tr>
<tr><td>バージョン情報</td><td></td><td>タイトルバー左端のボタン</td></tr>
<tr><td>終了</td><td>Ctrl+Q</td><td>ソフト終了（「終了」、右上の×）</td></tr>
<tr><td>盤</td><td>矢印</td><td>枠を文字から文字へ</td></tr>
<tr><td></td><td>Space・Enter</td><td>枠の文字を押す（左クリック）</td></tr>
<tr><td></td><td>Esc・BackSpace</td><td>選び直し（右クリック）</td></tr>
<tr><td></td><td>Tab</td><td>ボタン、盤、ランプの順に移る</td></tr>
<tr><td>確認</td><td>Enter・Esc</td><td>「はい ○」・「いいえ ×」</td></tr>
<tr><td>遊び方</td><td>F1</td><td>この窓（Esc で閉じる）</td></tr>
</table>
<p>大きさと音の設定は次の起動にも残ります。大きさを変えると、盤をそのままにして窓を開き直します。</p>
)";

} // namespace

HelpWindow::HelpWindow(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(kHelpTitle);
    setAccessibleName(kHelpTitle);
    setFixedSize(scaled(kSize));

    // The title bar as the dialog's: a green band with the logo, the close button and the caption.
    auto *bar = new QLabel(this);
    bar->setObjectName(QStringLiteral("helpBar"));
    bar->setGeometry(scaled(4), scaled(4), width() - scaled(8), scaled(19));
    bar->setStyleSheet(scaledStyle(QStringLiteral("QLabel#helpBar { background: rgb(0, 72, 48); border: 1px solid rgb(0, 255, 0); }")));

    auto *logo = new QPushButton(bar);
    logo->setGeometry(scaled(1, 1, 17, 17));
    logo->setIcon(QIcon(popupArt(QStringLiteral("dialog_logo.png"))));
    logo->setIconSize(scaled(QSize(13, 14)));
    logo->setFocusPolicy(Qt::NoFocus);
    logo->setAccessibleName(QStringLiteral("ホロカタ"));
    logo->setStyleSheet(scaledStyle(QStringLiteral("QPushButton { background: rgb(0, 192, 0); border: 1px solid rgb(0, 96, 0); }")));

    closeButton_ = new QPushButton(QStringLiteral("閉じる ×"), bar);
    closeButton_->setObjectName(QStringLiteral("cmdCLOSE"));
    closeButton_->setAccessibleName(closeButton_->text());
    closeButton_->setGeometry(scaled(17, 1, 81, 17));
    closeButton_->setFont(gothicFont(9));
    closeButton_->setAutoDefault(false);
    closeButton_->setStyleSheet(scaledStyle(QStringLiteral(
        "QPushButton { background: rgb(192, 192, 255); color: rgb(0, 0, 96); border: 1px solid rgb(0, 0, 128); }"
        "QPushButton:hover { background: rgb(216, 216, 255); }"
        "QPushButton:pressed { background: rgb(160, 160, 240); }"
        "QPushButton:focus { border: 1px dotted rgb(0, 0, 128); }")));
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto *caption = new QLabel(kHelpTitle, bar);
    caption->setGeometry(scaled(112, 2, 200, 17));
    caption->setFont(gothicFont(9));
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    caption->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255); background: transparent;"));

    // The text on the dialog's pale message panel, in its blue.
    body_ = new QTextBrowser(this);
    body_->setObjectName(QStringLiteral("lblHELP"));
    body_->setAccessibleName(kHelpTitle);
    body_->setGeometry(scaled(12), scaled(31), width() - scaled(24), height() - scaled(43));
    body_->setFont(gothicFont(9, true));
    body_->setFrameStyle(QFrame::NoFrame);
    body_->setTabChangesFocus(true);
    // A caret, so that a screen reader can go through the text line by line.
    body_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    body_->document()->setDefaultStyleSheet(scaledStyle(QStringLiteral(
        "h3 { color: rgb(0, 72, 48); margin-top: 2px; margin-bottom: 2px; }"
        "p { margin-top: 0px; margin-bottom: 1px; }"
        "td { padding-right: 10px; }")));
    body_->setStyleSheet(QStringLiteral("QTextBrowser { background: rgb(232, 240, 255); color: rgb(0, 0, 255); }"));
    body_->setHtml(QString::fromUtf8(kHelpHtml));

    setTabOrder(body_, closeButton_);

    auto *drag = new TitleBarDrag(this);
    drag->watch(bar);
    drag->watch(caption);
}

void HelpWindow::present()
{
    if (!isVisible()) {
        const QRect owner = mainWindow_ ? mainWindow_->frameGeometry() : QRect();
        QRect wanted(QPoint(), frameSize());
        wanted.moveCenter(owner.center());
        moveOnScreen(this, wanted.topLeft());
        body_->moveCursor(QTextCursor::Start);
        body_->verticalScrollBar()->setValue(0);
    }
    show();
    raise();
    activateWindow();
    body_->setFocus(Qt::OtherFocusReason);
}

QString HelpWindow::text() const
{
    return body_->toPlainText();
}

void HelpWindow::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (mainWindow_ && mainWindow_->isVisible() && !mainWindow_->isMinimized())
        mainWindow_->activateWindow();
}

void HelpWindow::paintEvent(QPaintEvent *)
{
    // The dialog's navy panel with a green rim.
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 96));
    p.setPen(QColor(0, 255, 0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(0, 72, 48));
    p.drawRect(body_->geometry().adjusted(-1, -1, 0, 0));
}

} // namespace horokata
