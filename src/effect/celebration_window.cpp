// The full-screen celebration window: plays the sprite animation over a capture of the screen.
#include "effect/celebration_window.h"

#include "animation/animation_model.h"
#include "effect/effect_art.h"
#include "platform/platform.h"
#include "platform_qt/ui_scale.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace horokata {

namespace {

constexpr int kPauseStepMs = 20; // the longest single pause, so that a skip is seen soon

// The full-screen window: the desktop as it was, with the sprites drawn on top of it and never erased.
class CelebrationWindow : public QWidget, public PerformView {
public:
    CelebrationWindow(QWidget *mainWindow, Platform &platform);

    FlowTask<> run(CelebrationStats *stats);

    void paint(const DrawCommand &cmd) override;
    FlowTask<> waitUntil(std::uint32_t deadline, Platform &platform) override;
    bool stopped() const override { return stopped_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void skip();
    static bool isSkipKey(const QKeyEvent *key);

    Platform &platform_;
    bool stopped_ = false; // skipped or closed: the rest of the celebration is left out
    AnimationModel model_;
    QImage backing_; // persistent picture of the window: capture plus every sprite drawn
    qreal dpr_ = 1.0;
    bool captured_ = false;
    int paints_ = 0;

    std::int32_t lngCX = 0, lngCY = 0; // where the sprites start: the main window's centre
    std::int32_t lngPW = 0, lngPH = 0; // the screen's width and height in pixels
};

CelebrationWindow::CelebrationWindow(QWidget *mainWindow, Platform &platform)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), platform_(platform)
{
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);

    QScreen *screen = mainWindow ? mainWindow->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen->geometry();
    lngPW = screenRect.width();
    lngPH = screenRect.height();
    if (mainWindow) {
        const QRect frame = mainWindow->frameGeometry();
        lngCX = centreInPixels(frame.left() - screenRect.left(), frame.width());
        lngCY = centreInPixels(frame.top() - screenRect.top(), frame.height());
    } else {
        lngCX = lngPW / 2;
        lngCY = lngPH / 2;
    }

    // The capture is taken before this window is shown, so none of it is in the picture.
    dpr_ = screen->devicePixelRatio();
    const QPixmap shot = screen->grabWindow(0);
    captured_ = !shot.isNull() && shot.width() > 0 && shot.height() > 0;
    const QSize physical(qRound(lngPW * dpr_), qRound(lngPH * dpr_));
    if (captured_) {
        backing_ = shot.toImage().convertToFormat(QImage::Format_RGB32);
        if (backing_.size() != physical)
            backing_ = backing_.scaled(physical);
    } else {
        // Nothing readable (a compositor that forbids it, for instance): run over black.
        backing_ = QImage(physical, QImage::Format_RGB32);
        backing_.fill(Qt::black);
    }
    backing_.setDevicePixelRatio(dpr_);

    setGeometry(screenRect);
}

void CelebrationWindow::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    for (const QRect &r : event->region()) {
        const QRectF source(r.x() * dpr_, r.y() * dpr_, r.width() * dpr_, r.height() * dpr_);
        p.drawImage(QRectF(r), backing_, source);
    }
}

void CelebrationWindow::closeEvent(QCloseEvent *event)
{
    stopped_ = true;
    QWidget::closeEvent(event);
}

bool CelebrationWindow::isSkipKey(const QKeyEvent *key)
{
    // Auto-repeat is the key that started the celebration, still held: only a fresh press counts.
    if (key->isAutoRepeat() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (key->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

// Watches the whole application while the celebration plays: a fresh press of Escape, Space
// or Enter, or a click, in any of the game's windows ends it. Other keys (Ctrl+Q) pass on.
bool CelebrationWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!stopped_) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (isSkipKey(static_cast<QKeyEvent *>(event))) {
                skip();
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            skip();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CelebrationWindow::skip()
{
    stopped_ = true;
    platform_.stopSound();
    hide();
}

void CelebrationWindow::paint(const DrawCommand &cmd)
{
    if (stopped_)
        return;
    const QImage &source = cmd.source == EffectSource::imgTITOL ? titleEmblem() : spriteSheet();
    // The schedule runs in the design's pixels; each edge is placed at the game's size on its
    // own, so that sprites side by side stay side by side.
    const QRect target = scaledEdges(QRect(cmd.x, cmd.y, cmd.size, cmd.size));
    {
        QPainter p(&backing_);
        // The schedule gives the source in picture pixels; the pictures hold more at larger sizes.
        const qreal r = source.devicePixelRatio() * uiScale();
        p.drawImage(target, source, QRectF(cmd.sx * r, cmd.sy * r, cmd.sw * r, cmd.sh * r));
    }
    ++paints_;
    update(target);
}

FlowTask<> CelebrationWindow::waitUntil(std::uint32_t deadline, Platform &platform)
{
    // A pause until the deadline, so painting and system events go on without keeping a
    // processor busy; the main window is disabled, so input is dropped but for the skip. The
    // pause is cut in short steps, so that a skip ends it soon.
    for (;;) {
        const auto left = static_cast<std::int32_t>(deadline - platform.tickMs());
        if (left < 1 || stopped_)
            co_return;
        co_await platform.sleepMs(std::min(left, kPauseStepMs));
    }
}

FlowTask<> CelebrationWindow::run(CelebrationStats *stats)
{
    showFullScreen();
    qApp->installEventFilter(this);

    // The schedule moves the sprites over the screen measured in the design's pixels.
    model_.setScreen(unscaled(lngPW), unscaled(lngPH));
    model_.INIT_PF(unscaled(lngCX), unscaled(lngCY), platform_);
    const int ideal = stats ? model_.idealTotalMs() : 0;
    co_await platform_.doEvents();

    QElapsedTimer wall;
    wall.start();
    co_await model_.PERFORM(platform_, *this);
    const qint64 performMs = wall.elapsed();

    co_await platform_.doEvents();
    // The last picture stays a moment, in steps that a skip cuts short.
    for (int left = 200; left > 0 && !stopped_; left -= kPauseStepMs)
        co_await platform_.sleepMs(kPauseStepMs);
    qApp->removeEventFilter(this);
    hide();
    co_await platform_.doEvents();

    if (stats) {
        stats->idealMs = ideal;
        stats->performMs = performMs;
        stats->paints = paints_;
        stats->screenWidth = lngPW;
        stats->screenHeight = lngPH;
        stats->captured = captured_;
    }
}

} // namespace

FlowTask<> playCelebration(QWidget *mainWindow, Platform &platform, CelebrationStats *stats)
{
    // One window and one capture per celebration; nothing outlives it.
    const auto form = std::make_unique<CelebrationWindow>(mainWindow, platform);
    co_await form->run(stats);
}

} // namespace horokata
