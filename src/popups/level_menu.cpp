// The shaped level menu (object name "Form4"): four entries and the arrow at the loaded level.
#include "popups/level_menu.h"

#include "platform_qt/fonts.h"
#include "platform_qt/screen_fit.h"
#include "platform_qt/ui_scale.h"
#include "outline/region.h"
#include "popups/window_shape.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace horokata {

namespace {

const QColor kNormal(0, 0, 255);
const QColor kCurrent(192, 0, 0);
const QColor kDisabled(128, 128, 128);

const std::array<const char *, kLevelCount> kCaptions = {"　 初級", "　 一般", "　 特殊", "　 其他"};

bool validLevel(int index)
{
    return index >= 0 && index < kLevelCount;
}

} // namespace

LevelMenu::LevelMenu(ProgramState &g, QWidget *owner)
    // A frameless window of its own rather than a popup: a popup would be left out of the
    // accessibility tree, and a click beside it would close it. Its owner takes no input
    // while it is open.
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), g_(g)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("レベル選択"));
    setAccessibleName(QStringLiteral("レベル選択"));
    background_ = popupArt(QStringLiteral("menu_background.png"));

    // The menu loads hidden, 60 x 79 pixels at 100 %.
    setFixedSize(scaled(QSize(60, 79)));

    imgARROW = new QLabel(this);
    imgARROW->setObjectName(QStringLiteral("imgARROW"));
    imgARROW->setPixmap(popupArt(QStringLiteral("menu_arrow.png")));
    imgARROW->setGeometry(scaled(8, 6, 8, 16));
    imgARROW->setAttribute(Qt::WA_TransparentForMouseEvents);

    // The four entries, one per level.
    for (int i = 0; i < kLevelCount; ++i) {
        auto *label = new QLabel(QString::fromUtf8(kCaptions[std::size_t(i)]), this);
        label->setObjectName(QStringLiteral("lblINDEX(%1)").arg(i));
        label->setAccessibleName(label->text());
        label->setGeometry(scaled(7, 7 + 16 * i, 45, 16));
        label->setFont(gothicFont(9, true));
        label->setMouseTracking(true);
        label->installEventFilter(this);
        lblINDEX[std::size_t(i)] = label;
        setEntryColor(i, kNormal);
    }
    imgARROW->raise();

    // The outline; a failed one ends start-up.
    SET_RGN();
}

void LevelMenu::SET_RGN()
{
    std::vector<RECT> rects;
    if (createRegionRects(menuOutline(), &rects) != kRgnOk) {
        trouble_ = Trouble::MenuOutlineRefused;
        return;
    }
    if (!applyWindowShape(this, regionFromRects(rects)))
        trouble_ = Trouble::MenuOutlineNotApplied;
}

void LevelMenu::setEntryColor(int index, const QColor &color)
{
    colors_[std::size_t(index)] = color;
    lblINDEX[std::size_t(index)]->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(color.name()));
}

void LevelMenu::SET_MENU()
{
    if (isVisible())
        return;
    moveOnScreen(this, QPoint(g_.menuX() / kTwipsPerPixel, g_.menuY() / kTwipsPerPixel));

    // Unusable levels go grey for good.
    for (int i = 0; i < kLevelCount; ++i) {
        if (!g_.levelChoosable(std::size_t(i))) {
            setEntryColor(i, kDisabled);
            lblINDEX[std::size_t(i)]->setEnabled(false);
        }
    }

    const int level = g_.level();
    imgARROW->move(scaled(QPoint(8, 16 * level + 6)));
    // No arrow when no level is loaded (the beginner list failed at start-up), nor for a level
    // index the menu does not have.
    imgARROW->setVisible(validLevel(level) && !(level == 0 && !entryEnabled(0)));
    // The loaded level is marked; an unusable entry keeps its grey.
    if (validLevel(level) && entryEnabled(level))
        setEntryColor(level, kCurrent);

    chosen_ = -1;
    show();
    raise();
    activateWindow();
}

void LevelMenu::SET_HIDE()
{
    hide();
}

void LevelMenu::lblINDEX_MouseMove(int index)
{
    if (!validLevel(index) || !entryEnabled(index))
        return;
    for (int i = 0; i < kLevelCount; ++i)
        if (i != index && colors_[std::size_t(i)] == kCurrent)
            setEntryColor(i, kNormal);
    setEntryColor(index, kCurrent);
}

void LevelMenu::lblINDEX_Click(int index)
{
    if (!validLevel(index) || !entryEnabled(index))
        return;
    // Choosing the loaded level only closes the menu, unless it leaves a review board.
    if (index != g_.level() || loadedChoosable_)
        chosen_ = index;
    SET_HIDE();
}

QColor LevelMenu::entryColor(int index) const
{
    return colors_.at(std::size_t(index));
}

bool LevelMenu::entryEnabled(int index) const
{
    return lblINDEX.at(std::size_t(index))->isEnabled();
}

QLabel *LevelMenu::entry(int index) const
{
    return lblINDEX.at(std::size_t(index));
}

QPoint LevelMenu::arrowPos() const
{
    return imgARROW->pos();
}

bool LevelMenu::arrowShown() const
{
    return !imgARROW->isHidden();
}

int LevelMenu::entryAt(const QPoint &pos) const
{
    for (int i = 0; i < kLevelCount; ++i)
        if (lblINDEX[std::size_t(i)]->geometry().contains(pos))
            return i;
    return -1;
}

void LevelMenu::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Only what lies inside the outline: the key colour around it never shows.
    if (!mask().isEmpty())
        p.setClipRegion(mask());
    p.drawPixmap(0, 0, background_);
}

void LevelMenu::mouseReleaseEvent(QMouseEvent *event)
{
    // A click on the background closes the menu; one on a grey entry does nothing.
    const QPoint pos = event->position().toPoint();
    if (rect().contains(pos) && entryAt(pos) < 0)
        hide();
    event->accept();
}

int LevelMenu::highlightedEntry() const
{
    for (int i = 0; i < kLevelCount; ++i)
        if (colors_[std::size_t(i)] == kCurrent)
            return i;
    return -1;
}

void LevelMenu::highlightFromKeys(int index)
{
    lblINDEX_MouseMove(index);
    // The highlighted entry has the focus, so that a screen reader names it.
    lblINDEX[std::size_t(index)]->setFocus(Qt::OtherFocusReason);
}

void LevelMenu::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc closes the menu without a change, as players expect of a popup.
        hide();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // The highlight (the colour under the mouse) moves over the usable entries, round
        // from the last to the first.
        const bool down = event->key() == Qt::Key_Down;
        int i = highlightedEntry();
        for (int n = 0; n < kLevelCount; ++n) {
            i = i < 0 ? (down ? 0 : kLevelCount - 1) : (i + (down ? 1 : kLevelCount - 1)) % kLevelCount;
            if (entryEnabled(i)) {
                highlightFromKeys(i);
                break;
            }
        }
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Chooses the highlighted entry as a click on it does.
        if (!event->isAutoRepeat() && highlightedEntry() >= 0)
            lblINDEX_Click(highlightedEntry());
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void LevelMenu::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const int i = highlightedEntry(); i >= 0)
        lblINDEX[std::size_t(i)]->setFocus(Qt::OtherFocusReason);
}

void LevelMenu::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // Hidden by the window system (its owner minimised): still open as far as the game goes.
    if (event->spontaneous())
        return;
    const int chosen = chosen_;
    chosen_ = -1;
    emit answered(chosen);
}

bool LevelMenu::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < kLevelCount; ++i) {
        if (watched != lblINDEX[std::size_t(i)])
            continue;
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            lblINDEX_MouseMove(i);
            break;
        case QEvent::MouseButtonRelease: {
            // A click is a press and a release on the same entry; grey entries swallow theirs.
            const auto *me = static_cast<QMouseEvent *>(event);
            if (lblINDEX[std::size_t(i)]->rect().contains(me->position().toPoint()))
                lblINDEX_Click(i);
            return true;
        }
        default:
            break;
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace horokata
