// The pause with its cover, and the hints, on the main window.
#include "main_window/play_assists.h"
#include "platform_qt/ui_scale.h"

#include "main_window/board_view.h"
#include "main_window/keyboard_play.h"
#include "main_window/main_window.h"
#include "main_window/records_presenter.h"
#include "platform_qt/fonts.h"
#include "puzzle/game.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

namespace horokata {

namespace {

const QString kPausedWords = QStringLiteral("一時停止中");
const QString kGoOnWords = QStringLiteral("P・スペース・Enter・クリックで再開");

QAction *makeCommand(MainWindow &window, const QString &text, const QList<QKeySequence> &keys)
{
    auto *a = new QAction(text, &window);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setAutoRepeat(false);
    window.addAction(a);
    return a;
}

} // namespace

PauseCover::PauseCover(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pauseCover"));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(kPausedWords);
    setAccessibleDescription(kGoOnWords);
    setCursor(Qt::PointingHandCursor);
    hide();
}

void PauseCover::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 32, 0));
    p.setPen(QColor(0, 255, 0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QRect upper = rect();
    upper.setBottom(rect().center().y());
    p.setPen(Qt::white);
    p.setFont(gothicFont(24, false, true));
    p.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, kPausedWords);
    QRect lower = rect();
    lower.setTop(rect().center().y() + scaled(12));
    p.setFont(gothicFont(12));
    p.setPen(QColor(255, 255, 0));
    p.drawText(lower, Qt::AlignHCenter | Qt::AlignTop, kGoOnWords);
}

void PauseCover::mousePressEvent(QMouseEvent *)
{
    emit goOn();
}

void PauseCover::keyPressEvent(QKeyEvent *e)
{
    // P comes as the window's command; Space and Enter go on here. Every other key is the
    // cover's too: nothing reaches the board.
    if (!e->isAutoRepeat() && e->modifiers() == Qt::NoModifier
        && (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter))
        emit goOn();
}

PlayAssists::PlayAssists(MainWindow &window, Game &game, BoardView &view, KeyboardPlay &keys, RecordsPresenter &records)
    : QObject(&window), window_(window), game_(game), view_(view), keys_(keys), records_(records)
{
    setObjectName(QStringLiteral("playAssists"));
    pause_ = makeCommand(window, QStringLiteral("一時停止"), {QKeySequence(Qt::Key_P), QKeySequence(Qt::Key_Pause)});
    pause_->setObjectName(QStringLiteral("pauseAction"));
    pause_->setCheckable(true);
    // The check mark follows the game: a refused toggle is put back at the next follow().
    connect(pause_, &QAction::triggered, this, [this](bool on) { setPaused(on); });
    hint_ = makeCommand(window, QStringLiteral("ヒント"), {QKeySequence(Qt::Key_H)});
    hint_->setObjectName(QStringLiteral("hintAction"));
    connect(hint_, &QAction::triggered, this, [this] { giveHint(); });

    // The cover spans everything below the title bar: tiles, idiom lines and lamps.
    cover_ = new PauseCover(&window);
    const auto *bar = window.findChild<QFrame *>(QStringLiteral("picBAR"));
    const int top = bar ? bar->geometry().bottom() + 1 : scaled(29);
    cover_->setGeometry(scaled(4), top, scaled(602), scaled(425) - top);
    connect(cover_, &PauseCover::goOn, this, [this] { setPaused(false); });

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            playerLeft();
    });
    window.installEventFilter(this);
}

bool PlayAssists::canAct() const
{
    return game_.phase() == BoardPhase::Playing && !window_.flowRunning() && !window_.popupOpen()
           && window_.isEnabled();
}

void PlayAssists::setPaused(bool paused)
{
    if (paused && !canAct()) {
        follow();
        return;
    }
    pauseWhenFree_ = false;
    if (!game_.setPaused(paused)) {
        follow();
        return;
    }
    window_.sync(); // the cover and the clock follow
    if (!paused)
        keys_.focusSink();
    // The board is saved paused, so that it comes back so.
    records_.saveAtRest();
}

void PlayAssists::giveHint()
{
    if (!canAct() || game_.paused())
        return;
    const Hint hint = game_.giveHint([this](const QString &idiom) { return view_.readingOf(idiom); });
    if (hint.kind == HintKind::None)
        return;
    window_.sync();
    keys_.tell(hint.kind == HintKind::Reading ? QStringLiteral("ヒント：") + hint.reading
                                              : QStringLiteral("ヒント：最初の字に印"));
    records_.hintGiven(game_.hintCount());
}

void PlayAssists::follow()
{
    const bool paused = game_.paused();
    if (pause_->isChecked() != paused)
        pause_->setChecked(paused);
    // The pause also ends with the board (a new deal or 再度 resets it): the clock follows.
    if (cover_->isHidden() == paused) {
        cover_->setVisible(paused);
        if (paused)
            cover_->raise();
        records_.followActivity();
    }
    // The cover keeps the keys, also once a flow that ran when it came has ended.
    if (paused && window_.isEnabled() && window_.focusWidget() != cover_)
        cover_->setFocus(Qt::OtherFocusReason);
    view_.markHints(game_.hintedCells());
    // The count stays while a flow passes between phases and after the board's end.
    view_.showHints(game_.hintCount(), game_.phase() != BoardPhase::Idle || window_.flowRunning());
    if (pauseWhenFree_ && !window_.flowRunning()) {
        pauseWhenFree_ = false;
        // Not inside the sync that called here: the pause syncs the window itself.
        QTimer::singleShot(0, this, [this] { playerLeft(); });
    }
}

void PlayAssists::playerLeft()
{
    if (game_.phase() != BoardPhase::Playing || game_.paused())
        return;
    // During a flow the clock already stands (the window is not in front); the cover comes
    // once the flow ends.
    if (window_.flowRunning() || window_.popupOpen())
        pauseWhenFree_ = true;
    else
        setPaused(true);
}

bool PlayAssists::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window_ && event->type() == QEvent::WindowStateChange && window_.isMinimized())
        playerLeft();
    return false;
}

} // namespace horokata
