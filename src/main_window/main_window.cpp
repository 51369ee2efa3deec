// The main window: title bar, board of 80 tiles, side panel; mirrors the game and forwards input.
#include "main_window/main_window.h"

#include "app/startup.h"
#include "effect/effect_window.h"
#include "platform/fonts.h"
#include "popups/confirm_dialog.h"
#include "popups/level_menu.h"
#include "platform/platform.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

namespace horokata {

namespace {

QColor qcolor(Rgb c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QString rgbCss(Rgb c)
{
    return qcolor(c).name();
}

MouseButton toGameButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    default: return MouseButton::Middle;
    }
}

QPixmap artOr(const QString &path, QSize size, const QColor &fill)
{
    QPixmap pm(path);
    if (pm.isNull()) {
        pm = QPixmap(size);
        pm.fill(fill);
    }
    return pm;
}

// The keyboard focus frame: black, white, black rings inside the widget's edge, clear on
// every tile colour and every board gradient.
void drawFocusFrame(QPainter &p, const QRect &r, int ring)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    const QColor colors[3] = {QColor(0, 0, 0), QColor(255, 255, 255), QColor(0, 0, 0)};
    int inset = 0;
    for (const QColor &c : colors) {
        p.setPen(QPen(c, ring, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const qreal half = ring / 2.0;
        p.drawRect(QRectF(r).adjusted(inset + half, inset + half, -inset - half, -inset - half));
        inset += ring;
    }
    p.restore();
}

// A miss lamp: a small flat square. It acts on the release of any mouse button over it,
// after a press on it; a press taken off the lamp before its release does nothing.
class LampButton : public QAbstractButton {
public:
    explicit LampButton(QWidget *parent) : QAbstractButton(parent) {}
    Rgb back = kLampGreen;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.fillRect(r, qcolor(back));
        p.setPen(isDown() ? QColor(0, 0, 0) : QColor(255, 255, 255));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(isDown() ? QColor(255, 255, 255) : QColor(0, 64, 0));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        if (hasFocus())
            drawFocusFrame(p, rect(), 1);
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        held_ = true;
        setDown(true);
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (held_)
            setDown(rect().contains(e->position().toPoint()));
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        const bool act = held_ && rect().contains(e->position().toPoint());
        held_ = false;
        setDown(false);
        e->accept();
        if (act)
            click();
    }

private:
    bool held_ = false;
};

} // namespace

// ---------------------------------------------------------------- tiles

TileButton::TileButton(int index, QWidget *parent) : QAbstractButton(parent), index_(index)
{
    setCheckable(true);
    // Focus comes from the keys only: a click never gives it (the click moves it away).
    setFocusPolicy(Qt::TabFocus);
    setObjectName(QStringLiteral("MOJI_%1").arg(index));
}

void TileButton::setColors(Rgb back, Rgb fore)
{
    if (back == back_ && fore == fore_)
        return;
    back_ = back;
    fore_ = fore;
    update();
}

void TileButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    // A picked tile stays down; a tile under a held left button looks down until release.
    const bool down = isChecked() || isDown();
    const QColor base = qcolor(back_);
    p.fillRect(r, down ? base.darker(118) : base);
    // Raised or sunken bevel, two pixels like a classic push button.
    const QColor light = down ? base.darker(190) : base.lighter(160);
    const QColor dark = down ? base.lighter(150) : base.darker(200);
    for (int k = 0; k < 2; ++k) {
        p.setPen(light);
        p.drawLine(k, k, r.width() - 2 - k, k);
        p.drawLine(k, k, k, r.height() - 2 - k);
        p.setPen(dark);
        p.drawLine(k, r.height() - 1 - k, r.width() - 1 - k, r.height() - 1 - k);
        p.drawLine(r.width() - 1 - k, k, r.width() - 1 - k, r.height() - 1 - k);
    }
    p.setFont(font());
    p.setPen(qcolor(fore_));
    p.drawText(r.translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, text());
    if (hasFocus())
        drawFocusFrame(p, r, 2);
}

void TileButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        held_ = true;
        setDown(true);
    }
    emit pressedWith(index_, e->button());
}

void TileButton::mouseMoveEvent(QMouseEvent *e)
{
    // Like a push button: down while the held pointer is over the tile, up while it is off.
    if (held_)
        setDown(rect().contains(e->position().toPoint()));
}

void TileButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        held_ = false;
        setDown(false);
    }
    emit releasedWith(index_, e->button(), rect().contains(e->position().toPoint()));
}

// ---------------------------------------------------------------- board area

BoardArea::BoardArea(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picBACK"));
    setFrameShape(QFrame::Box);
    setLineWidth(1);
}

void BoardArea::setScheme(int scheme)
{
    if (scheme == scheme_)
        return;
    scheme_ = scheme;
    update();
}

void BoardArea::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect inside = contentsRect();
    if (scheme_ < 0) {
        p.fillRect(inside, QColor(0, 64, 0));
    } else {
        for (int i = 0; i < kGradientBands; ++i)
            p.fillRect(QRect(inside.left(), inside.top() + 2 * i, 480, 2), qcolor(gradientBand(scheme_, i)));
    }
    p.end();
    QFrame::paintEvent(e);
}

void BoardArea::mousePressEvent(QMouseEvent *e)
{
    emit pressedWith(e->button());
}

// ---------------------------------------------------------------- the window

MainWindow::MainWindow(ProgramState &globals, Platform &platform, const QString &programFolder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), g_(globals), p_(platform),
      game_(globals, platform, *this), programFolder_(programFolder),
      cards_(QDir(programFolder).filePath(QString::fromUtf8(kDictionaryFileName)))
{
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(QIcon(QStringLiteral(":/art/icon-32.png")));
    setAccessibleName(QString::fromUtf8(kTitle));
    buildControls();
}

MainWindow::~MainWindow() = default;

QPushButton *MainWindow::button(const char *name) const
{
    return findChild<QPushButton *>(QString::fromLatin1(name));
}

void MainWindow::buildControls()
{
    // Window: 610 × 429 pixels, centred.
    setFixedSize(610, 429);
    background_ = artOr(QStringLiteral(":/art/background.png"), QSize(608, 427), QColor(0, 48, 0));
    if (const QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - QPoint(305, 214));

    // Title bar and its buttons; later controls stack above earlier ones.
    picBAR = new QFrame(this);
    picBAR->setObjectName(QStringLiteral("picBAR"));
    picBAR->setGeometry(4, 4, 600, 25);
    picBAR->setFrameShape(QFrame::Box);
    picBAR->setLineWidth(1);
    picBAR->setAutoFillBackground(true);
    {
        QPalette pal = picBAR->palette();
        const QPixmap bar = artOr(QStringLiteral(":/art/titlebar.png"), QSize(598, 23), QColor(0, 0, 128));
        QPixmap full(600, 25);
        full.fill(QColor(0, 0, 128));
        QPainter(&full).drawPixmap(1, 1, bar);
        pal.setBrush(QPalette::Window, QBrush(full));
        pal.setColor(QPalette::WindowText, QColor(0, 0, 64));
        picBAR->setPalette(pal);
    }

    // Labels and images lie beneath the buttons; the cover image is the topmost of them.
    lblLEVEL = new QLabel(picBAR);
    lblLEVEL->setObjectName(QStringLiteral("lblLEVEL"));
    lblLEVEL->move(352, 3);
    lblLEVEL->setFont(gothicFont(11.25, true));
    lblLEVEL->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    lblGOKU = new QLabel(picBAR);
    lblGOKU->setObjectName(QStringLiteral("lblGOKU"));
    lblGOKU->setFont(gothicFont(12));
    lblGOKU->setFixedSize(81, 25);
    lblGOKU->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeStatus();
    imgSYSStates = {artOr(QStringLiteral(":/art/sys0.png"), QSize(51, 15), QColor(160, 160, 200)),
                    artOr(QStringLiteral(":/art/sys1.png"), QSize(51, 15), QColor(120, 120, 160)),
                    artOr(QStringLiteral(":/art/sys2.png"), QSize(51, 15), QColor(120, 120, 160))};
    imgSYS = new QLabel(picBAR);
    imgSYS->setObjectName(QStringLiteral("imgSYS"));
    imgSYS->setGeometry(544, 1, 51, 15);
    imgSYS->setPixmap(imgSYSStates[0]);
    imgSYS->setToolTip(QStringLiteral("最小化 ／ 終了"));
    imgSYS->setAccessibleName(QStringLiteral("最小化 ／ 終了"));
    imgSYS->installEventFilter(this);
    imgOFF = new QLabel(picBAR);
    imgOFF->setObjectName(QStringLiteral("imgOFF"));
    imgOFF->setGeometry(345, 32, 253, 23);
    imgOFF->setPixmap(artOr(QStringLiteral(":/art/cover.png"), QSize(253, 23), QColor(0, 0, 96)));

    const QFont buttonFont = gothicFont(9.75);
    const auto makeButton = [&](const char *name, const QString &caption, const QString &tip, QRect geo, Rgb back) {
        auto *b = new QPushButton(caption, picBAR);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geo);
        b->setToolTip(tip);
        b->setAccessibleName(caption.isEmpty() ? tip : caption);
        b->setFont(buttonFont);
        b->setFocusPolicy(Qt::TabFocus);
        b->setStyleSheet(QStringLiteral(
            "QPushButton { background: %1; color: #000000; border-top: 1px solid #ffffff; border-left: 1px solid #ffffff;"
            " border-bottom: 1px solid #404060; border-right: 1px solid #404060; padding: 0; }"
            "QPushButton:pressed { border-top: 1px solid #404060; border-left: 1px solid #404060;"
            " border-bottom: 1px solid #ffffff; border-right: 1px solid #ffffff; padding-top: 1px; padding-left: 1px; }"
            "QPushButton:focus { border: 2px solid #000000; background: #ffffff; }")
                             .arg(rgbCss(back)));
        b->installEventFilter(this);
        b->raise();
        return b;
    };
    const Rgb lavender = RGB(192, 192, 255);
    cmdMENU = makeButton("cmdMENU", QString(), QStringLiteral("バージョン情報"), QRect(0, 0, 25, 23), RGB(0, 192, 0));
    cmdMENU->setIcon(QIcon(artOr(QStringLiteral(":/art/version.png"), QSize(21, 20), QColor(0, 160, 0))));
    cmdMENU->setIconSize(QSize(21, 20));
    cmdEXIT = makeButton("cmdEXIT", QStringLiteral("終了"), QStringLiteral("ソフト終了"), QRect(16, 0, 89, 23), lavender);
    cmdRESET = makeButton("cmdRESET", QStringLiteral("再度"), QStringLiteral("リセット"), QRect(104, 0, 81, 23), lavender);
    cmdSELECT = makeButton("cmdSELECT", QStringLiteral("選択"), QStringLiteral("ファイル選択"), QRect(184, 0, 81, 23), lavender);
    cmdNEW = makeButton("cmdNEW", QStringLiteral("新規"), QStringLiteral("新規ゲーム"), QRect(264, 0, 81, 23), lavender);
    imgOFF->raise();

    connect(cmdEXIT, &QPushButton::clicked, this, &MainWindow::cmdEXIT_Click);
    connect(cmdMENU, &QPushButton::clicked, this, &MainWindow::cmdMENU_Click);
    connect(cmdNEW, &QPushButton::clicked, this, [this] {
        focusSink();
        game_.cmdNEW_Click();
        sync();
    });
    connect(cmdRESET, &QPushButton::clicked, this, [this] {
        focusSink();
        game_.cmdRESET_Click();
        sync();
    });
    cmdSELECT->installEventFilter(this);
    picBAR->installEventFilter(this);
    lblGOKU->installEventFilter(this);
    lblLEVEL->installEventFilter(this);

    // The board and its tiles, numbered down each column.
    picBACK = new BoardArea(this);
    picBACK->setGeometry(10, 34, 482, 386);
    connect(picBACK, &BoardArea::pressedWith, this, [this](Qt::MouseButton b) {
        game_.picBACK_MouseDown(toGameButton(b));
        sync();
    });
    const QFont tf = tileFont();
    for (int i = 0; i < kCells; ++i) {
        auto *t = new TileButton(i, picBACK);
        t->setGeometry(1 + cellLeft(i), 1 + cellTop(i), kCellSize, kCellSize);
        t->setFont(tf);
        t->setColors(kBuiltTileBack, kBuiltTileFore);
        connect(t, &TileButton::pressedWith, this, [this](int index, Qt::MouseButton b) {
            game_.MOJI_MouseDown(index, toGameButton(b));
        });
        connect(t, &TileButton::releasedWith, this, &MainWindow::onTileReleased);
        t->installEventFilter(this);
        MOJI[static_cast<std::size_t>(i)] = t;
    }

    // Side panel: twenty idiom lines, the miss lamps and their caption.
    picSIDE = new QFrame(this);
    picSIDE->setObjectName(QStringLiteral("picSIDE"));
    picSIDE->setGeometry(502, 34, 97, 386);
    picSIDE->setAutoFillBackground(true);
    {
        QPalette pal = picSIDE->palette();
        pal.setColor(QPalette::Window, QColor(0, 128, 0));
        picSIDE->setPalette(pal);
    }
    const QFont lineFont = gothicFont(11.25);
    for (int k = 0; k < kIdioms; ++k) {
        auto *l = new QLabel(picSIDE);
        l->setObjectName(QStringLiteral("lblGO_%1").arg(k));
        l->setGeometry(0, 18 * k, 97, 18);
        l->setFont(lineFont);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lblGO[static_cast<std::size_t>(k)] = l;
    }
    for (int h = 0; h < kLamps; ++h) {
        auto *lamp = new LampButton(picSIDE);
        lamp->setObjectName(QStringLiteral("chkLIFE_%1").arg(h));
        lamp->setGeometry(48 + 16 * h, 368, 17, 17);
        lamp->setToolTip(QString::fromUtf8(kLampTips[static_cast<std::size_t>(h)]));
        lamp->setAccessibleName(QString::fromUtf8(kLampTips[static_cast<std::size_t>(h)]));
        lamp->setFocusPolicy(Qt::TabFocus);
        lamp->installEventFilter(this);
        connect(lamp, &QAbstractButton::clicked, this, [this, h] {
            focusSink();
            game_.chkLIFE_MouseUp(h);
            sync();
        });
        chkLIFE[static_cast<std::size_t>(h)] = lamp;
    }
    Label1 = new QLabel(QStringLiteral("手違"), picSIDE);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 368, 49, 17);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(gothicFont(11.25, true));
    Label1->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent;"));
    Label1->setToolTip(QStringLiteral("３回間違えると終了"));
    Label1->setAccessibleName(QStringLiteral("手違"));

    // Focus sink outside the visible window.
    cmdFOCUS = new QPushButton(this);
    cmdFOCUS->setObjectName(QStringLiteral("cmdFOCUS"));
    cmdFOCUS->setGeometry(624, 48, 73, 41);
    cmdFOCUS->setAccessibleName(QStringLiteral("focus"));
    cmdFOCUS->installEventFilter(this);
    installEventFilter(this);
    // The sink holds the focus from the start, so that activating the window shows no frame.
    cmdFOCUS->setFocus();
}

bool MainWindow::Form_Load()
{
    // Tile font and layout are set up in the constructor; show the splash state.
    p_.doEvents();
    game_.loadFirstList(programFolder_);
    if (game_.closing())
        return false;
    game_.beginLoading();
    sync();
    show();
    p_.doEvents();
    SET_SOUND(g_, p_);
    // The dialog and the level menu build their outlines as they load; the menu only
    // when the dialog's outline worked.
    form2();
    if (g_.intERR == Trouble::None)
        loadForm4();
    if (g_.intERR != Trouble::None) {
        ERR_END();
        return false;
    }
    game_.finishLoad();
    placeStatus();
    game_.endLoading();
    p_.doEvents();
    sync();
    return true;
}

void MainWindow::ERR_END()
{
    p_.setBusyPointer(false);
    p_.messageBox(fatalMessage(g_.intERR), QString::fromUtf8(kFatalTitle));
    p_.doEvents();
    unloadPopups();
    hide();
}

void MainWindow::unloadPopups()
{
    // A popup may be closing the program from inside its own handler or nested loop (a level
    // chosen in the menu whose list fails to read): it is hidden now, which ends its loop, and
    // deleted once control is back in the loop that was running when it was unloaded.
    if (form4_) {
        form4_->hide();
        form4_->deleteLater();
    }
    if (form2_) {
        if (form2_->isVisible())
            form2_->reject();
        form2_->deleteLater();
    }
}

void MainWindow::placeStatus()
{
    lblLEVEL->adjustSize();
    lblGOKU->move(lblLEVEL->x() + lblLEVEL->width() + 12, 3);
}

void MainWindow::sync()
{
    const BoardModel &m = game_.model();
    for (int i = 0; i < kCells; ++i) {
        const Tile &t = m.MOJI[static_cast<std::size_t>(i)];
        TileButton *b = MOJI[static_cast<std::size_t>(i)];
        if (b->text() != t.Caption) {
            b->setText(t.Caption);
            b->setAccessibleName(t.Caption);
        }
        b->setChecked(t.Value != 0);
        b->setColors(t.BackColor, t.ForeColor);
        if (b->isVisible() != t.Visible)
            b->setVisible(t.Visible);
    }
    for (int k = 0; k < kIdioms; ++k) {
        const IdiomLine &line = m.lblGO[static_cast<std::size_t>(k)];
        QLabel *l = lblGO[static_cast<std::size_t>(k)];
        if (l->text() != line.Caption) {
            l->setText(line.Caption);
            l->setAccessibleName(line.Caption);
            showCard(l, line.Caption);
        }
        // ".QLabel" styles the line alone: its card, a tooltip label, keeps the tooltip colours
        // (a black revealed line would otherwise give a black card on a clear background).
        const QString css = QStringLiteral(".QLabel { color: %1; background: transparent; }").arg(rgbCss(line.ForeColor));
        if (l->styleSheet() != css)
            l->setStyleSheet(css);
    }
    for (int h = 0; h < kLamps; ++h) {
        const Lamp &lamp = m.chkLIFE[static_cast<std::size_t>(h)];
        auto *b = static_cast<LampButton *>(chkLIFE[static_cast<std::size_t>(h)]);
        if (b->back != lamp.BackColor) {
            b->back = lamp.BackColor;
            b->update();
        }
        if (b->isVisible() != lamp.Visible)
            b->setVisible(lamp.Visible);
    }
    if (lblLEVEL->text() != m.lblLEVEL) {
        lblLEVEL->setText(m.lblLEVEL);
        lblLEVEL->setAccessibleName(m.lblLEVEL);
        placeStatus();
    }
    if (lblGOKU->text() != m.lblGOKU) {
        lblGOKU->setText(m.lblGOKU);
        lblGOKU->setAccessibleName(m.lblGOKU);
    }
    const QString statusCss = QStringLiteral("color: %1; background: transparent;").arg(rgbCss(m.lblGOKUColor));
    if (lblGOKU->styleSheet() != statusCss)
        lblGOKU->setStyleSheet(statusCss);
    if (imgOFF->y() != m.imgOFFTop)
        imgOFF->move(345, m.imgOFFTop);
    picBACK->setScheme(m.paintedScheme);
    if (isEnabled() != m.enabled)
        setEnabled(m.enabled);
    pendingNews_ += news_.look(m, BoardMarks{game_.intGOT, game_.intMISS, game_.blnPLAY != 0});
    applyKeyFocus();
}

void MainWindow::showCard(QLabel *line, const QString &caption)
{
    const QString card = cards_.cardForLine(caption);
    if (line->accessibleDescription() == card)
        return;
    // A card left open over a line that changed would show the wrong idiom.
    if (line->underMouse() && QToolTip::isVisible())
        QToolTip::hideText();
    line->setAccessibleDescription(card);
    if (card.isEmpty()) {
        line->setToolTip(QString());
        return;
    }
    // Rich text so that a long meaning wraps; the idiom stands out on top.
    const qsizetype firstBreak = card.indexOf(QLatin1Char('\n'));
    line->setToolTip(QStringLiteral("<p style='white-space:pre-wrap'><big><b>%1</b></big><br>%2</p>")
                         .arg(card.left(firstBreak).toHtmlEscaped(),
                              card.mid(firstBreak + 1).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 32, 0));
    p.drawPixmap(1, 1, background_);
}

// ---------------------------------------------------------------- tiles

void MainWindow::onTileReleased(int index, Qt::MouseButton button, bool inside)
{
    focusSink();
    // Remembered, not shown: the arrow keys start from the tile last clicked.
    boardCell_ = index;
    if (!inside) {
        // The press was taken back by leaving the tile: no click happened.
        game_.MOJI_PressTakenBack();
        sync();
        return;
    }
    if (button == Qt::LeftButton)
        game_.MOJI_Flip(index);
    sync();
    game_.MOJI_MouseUp(index, toGameButton(button));
    sync();
}

// ---------------------------------------------------------------- dialogs and the effect

void MainWindow::SET_FORM2()
{
    sync();
    if (closed_) {
        // Nothing is shown once the window has closed; a question counts as "いいえ ×".
        if (isQuestion(g_.intMSG))
            g_.blnCANCEL = vbTrue;
        return;
    }
    if (dialogOverride) {
        dialogOverride();
        return;
    }
    form2()->SET_FORM2();
    backToWindow();
    sync();
}

ConfirmDialog *MainWindow::form2()
{
    if (!form2_)
        form2_ = new ConfirmDialog(g_, this);
    return form2_;
}

void MainWindow::loadForm4()
{
    if (!form4_)
        form4_ = new LevelMenu(g_, this, [this](int index) {
            game_.NEW_FILE(index);
            sync();
        });
}

void MainWindow::playCelebration()
{
    using horokata::playCelebration;
    sync();
    if (closed_)
        return;
    if (celebrationOverride) {
        celebrationOverride();
        return;
    }
    playCelebration(this, p_);
    backToWindow();
}

void MainWindow::closeMainWindow()
{
    sync();
    close();
}

// ---------------------------------------------------------------- chrome

void MainWindow::cmdEXIT_Click()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    // Closing never asks: the popups go first, then the window.
    closed_ = true;
    unloadPopups();
    p_.doEvents();
    e->accept();
    emit closed();
}

void MainWindow::showEvent(QShowEvent *e)
{
    closed_ = false;
    QWidget::showEvent(e);
}

void MainWindow::cmdMENU_Click()
{
    focusSink();
    game_.ask(DialogMode::Version);
    sync();
}

void MainWindow::cmdSELECT_Press(QPoint pressPos)
{
    focusSink();
    storeMenuPosition(pressPos);
}

void MainWindow::storeMenuPosition(QPoint pressPos)
{
    g_.lngMENUX = (x() + pressPos.x() + 192) * kTwipsPerPixel;
    g_.lngMENUY = (y() + pressPos.y() + 8) * kTwipsPerPixel;
}

void MainWindow::cmdSELECT_Release()
{
    focusSink();
    openLevelMenu();
}

void MainWindow::openLevelMenu()
{
    loadForm4();
    form4_->SET_MENU();
    backToWindow();
    sync();
}

void MainWindow::imgSYS_MouseDown(int x)
{
    if (x < 18) {
        imgSYS->setPixmap(imgSYSStates[1]);
        game_.blnSYS1 = vbTrue;
    } else if (x > 34) {
        game_.blnSYS2 = vbTrue;
        imgSYS->setPixmap(imgSYSStates[2]);
    }
}

void MainWindow::imgSYS_MouseUp()
{
    if (game_.blnSYS1) {
        game_.blnSYS1 = vbFalse;
        imgSYS->setPixmap(imgSYSStates[0]);
        showMinimized();
    } else if (game_.blnSYS2) {
        game_.blnSYS2 = vbFalse;
        imgSYS->setPixmap(imgSYSStates[0]);
        close();
    }
}

void MainWindow::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::WindowStateChange) {
        if (windowState() & Qt::WindowMinimized) {
            setWindowTitle(QStringLiteral("* ホロカタ *"));
        } else if (!(windowState() & Qt::WindowMaximized)) {
            setWindowTitle(QString());
            resize(610, 429);
        }
    }
    QWidget::changeEvent(e);
}

void MainWindow::startDrag(QMouseEvent *e)
{
    if (QWindow *w = windowHandle(); w && w->startSystemMove())
        return;
    // No window manager help: follow the pointer ourselves until release.
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == imgSYS) {
        if (type == QEvent::MouseButtonPress) {
            imgSYS_MouseDown(static_cast<QMouseEvent *>(event)->position().toPoint().x());
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            imgSYS_MouseUp();
            return true;
        }
    } else if (watched == cmdSELECT) {
        if (type == QEvent::MouseButtonPress)
            cmdSELECT_Press(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (type == QEvent::MouseButtonRelease) {
            QMetaObject::invokeMethod(this, &MainWindow::cmdSELECT_Release, Qt::QueuedConnection);
        }
    } else if (watched == picBAR || watched == lblGOKU || watched == lblLEVEL) {
        if (type == QEvent::MouseButtonPress) {
            startDrag(static_cast<QMouseEvent *>(event));
            return true;
        }
        if (type == QEvent::MouseMove && dragging_) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - dragOffset_);
            return true;
        }
        if (type == QEvent::MouseButtonRelease && dragging_) {
            dragging_ = false;
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace horokata
