// The command menu and the commands of window size and sound.
#include "main_window/command_menu.h"

#include "app/scale_restart.h"
#include "app/view_settings.h"
#include "main_window/main_window.h"
#include "main_window/play_assists.h"
#include "main_window/records_presenter.h"
#include "records/records_store.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

namespace horokata {

namespace {

QString withKey(const char *text, const char *key)
{
    return QString::fromUtf8(text) + QLatin1Char('\t') + QString::fromUtf8(key);
}

} // namespace

CommandMenu::CommandMenu(MainWindow &window, std::function<void(bool)> soundChanged)
    : QObject(&window), window_(window), soundChanged_(std::move(soundChanged))
{
    setObjectName(QStringLiteral("commandMenu"));
    menu_ = new QMenu(&window);
    menu_->setObjectName(QStringLiteral("mnuCOMMAND"));
    menu_->setTitle(QStringLiteral("コマンド"));
    menu_->setAccessibleName(QStringLiteral("コマンド"));
    buildViewCommands();

    // The commands, as the title bar's buttons and the keys reach them.
    add(window.command(MainWindow::kNewCommand));
    add(window.command(MainWindow::kReplayCommand));
    add(window.command(MainWindow::kSelectCommand));
    addSeparator();
    add(window.assists().pauseAction());
    add(window.assists().hintAction());
    addSeparator();
    // These keep their keys in the window's key handling: the menu only names them.
    const auto entry = [this](const char *text, const char *key, auto slot) {
        auto *a = new QAction(withKey(text, key), this);
        connect(a, &QAction::triggered, &window_, slot);
        add(a);
    };
    entry("記録", "Ctrl+H", [this] { window_.records().showRecords(); });
    entry("単語帳", "Ctrl+I", [this] { window_.records().showNotebook(QString()); });
    if (auto *review = window.findChild<QAction *>(QStringLiteral("reviewAction")))
        add(review);
    entry("遊び方", "F1", [this] { window_.showHelp(); });
    addSeparator();
    add(view_[kZoomIn]);
    add(view_[kZoomOut]);
    add(view_[kZoomReset]);
    addSizes();
    addSeparator();
    add(view_[kSound]);
    addSeparator();
    add(window.command(MainWindow::kVersionCommand));
    add(window.command(MainWindow::kExitCommand));

    // Opened by the Menu key and Shift+F10 at the title bar's left end.
    QAction *open = makeCommand(QStringLiteral("コマンド"), {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    connect(open, &QAction::triggered, this, [this] {
        const auto *bar = window_.findChild<QFrame *>(QStringLiteral("picBAR"));
        popup(bar ? bar->mapToGlobal(QPoint(0, bar->height())) : window_.mapToGlobal(QPoint()));
    });
    // A right click anywhere on the title bar; its press drags nothing.
    if (auto *bar = window.findChild<QFrame *>(QStringLiteral("picBAR"))) {
        bar->installEventFilter(this);
        for (QWidget *part : bar->findChildren<QWidget *>())
            part->installEventFilter(this);
    }
}

QAction *CommandMenu::makeCommand(const QString &text, const QList<QKeySequence> &keys)
{
    auto *a = new QAction(text, &window_);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setAutoRepeat(false);
    window_.addAction(a);
    return a;
}

void CommandMenu::buildViewCommands()
{
    const QKeySequence ctrlKeypad(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus));
    view_[kZoomIn] = makeCommand(QStringLiteral("拡大"),
                                 {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
                                  QKeySequence(Qt::CTRL | Qt::Key_Equal), ctrlKeypad});
    view_[kZoomOut] = makeCommand(QStringLiteral("縮小"),
                                  {QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))});
    view_[kZoomReset] = makeCommand(QStringLiteral("標準の大きさ"),
                                    {QKeySequence(Qt::CTRL | Qt::Key_0), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0))});
    connect(view_[kZoomIn], &QAction::triggered, this, [this] { zoomBy(+1); });
    connect(view_[kZoomOut], &QAction::triggered, this, [this] { zoomBy(-1); });
    connect(view_[kZoomReset], &QAction::triggered, this, [this] { zoomTo(kDefaultScale); });

    view_[kSound] = makeCommand(QStringLiteral("音"), {QKeySequence(Qt::Key_M)});
    view_[kSound]->setObjectName(QStringLiteral("actSOUND"));
    view_[kSound]->setCheckable(true);
    view_[kSound]->setChecked(ViewSettings::soundOn());
    connect(view_[kSound], &QAction::toggled, this, [this](bool on) {
        ViewSettings::setSoundOn(on);
        if (soundChanged_)
            soundChanged_(on);
    });
    if (soundChanged_)
        soundChanged_(view_[kSound]->isChecked());
}

void CommandMenu::addSizes()
{
    auto *group = new QActionGroup(this);
    for (int percent : kScaleSteps) {
        auto *a = new QAction(QStringLiteral("%1 %").arg(percent), group);
        a->setCheckable(true);
        a->setChecked(percent == startScale());
        connect(a, &QAction::triggered, this, [this, percent] { zoomTo(percent); });
        add(a);
    }
    // Sizes that would not fit the screen are not offered.
    connect(menu_, &QMenu::aboutToShow, group, [this, group] {
        const QSize screen = screenPixels();
        for (int i = 0; i < int(kScaleSteps.size()); ++i)
            group->actions().at(i)->setEnabled(largestFittingScale(kScaleSteps[std::size_t(i)], screen) == kScaleSteps[std::size_t(i)]);
    });
}

void CommandMenu::add(QAction *command)
{
    menu_->addAction(command);
}

void CommandMenu::addSeparator()
{
    menu_->addSeparator();
}

void CommandMenu::popup(QPoint globalPos)
{
    if (!window_.isEnabled() || window_.popupOpen())
        return;
    menu_->popup(globalPos);
}

QSize CommandMenu::screenPixels() const
{
    const QScreen *screen = window_.screen();
    // In the pixels of the game at 100 %: the screen's pixels less any factor the player set for every program.
    return screen ? (QSizeF(screen->availableGeometry().size()) * screen->devicePixelRatio() / outerScale()).toSize() : QSize();
}

void CommandMenu::zoomBy(int direction)
{
    if (const std::optional<int> next = neighbourScale(startScale(), direction, screenPixels()))
        zoomTo(*next);
}

void CommandMenu::zoomTo(int percent)
{
    if (percent == startScale() || window_.flowRunning() || window_.popupOpen() || !window_.isEnabled())
        return;
    if (percent > kDefaultScale && largestFittingScale(percent, screenPixels()) != percent)
        return;
    // Without a store the board in play could not come back after the restart.
    if (window_.game().playing() && !window_.records().store().available())
        return;
    ViewSettings::setScale(percent);
    requestRestart();
    // Closing saves the board at rest; the program then starts again at the new size.
    window_.close();
}

bool CommandMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
        return true;
    if (event->type() == QEvent::ContextMenu) {
        popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace horokata
