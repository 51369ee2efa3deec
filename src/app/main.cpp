// Program entry: the start-up refusals, then the main window.
#include "app/command_line.h"
#include "app/qt_translations.h"
#include "app/scale_restart.h"
#include "app/startup.h"
#include "main_window/command_menu.h"
#include "main_window/main_window.h"
#include "platform_qt/qt_platform.h"
#include "platform_qt/ui_scale.h"
#include "records/records_store.h"

#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QtGlobal>

namespace {

// The game places its windows itself, cuts them to outlines and captures the screen, and a
// Wayland session allows none of that to a client. Where the session also offers X (XWayland
// sets DISPLAY), run on X unless the player chose a platform; Wayland remains the fallback.
void choosePlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

} // namespace

// Q_INIT_RESOURCE declares its function where it is used: not in an unnamed namespace.
static int runGame(int &argc, char **argv)
{
    QApplication app(argc, argv);
    // A remembered size too large for this screen: start again at the largest that fits.
    if (const QScreen *screen = QGuiApplication::primaryScreen();
        screen && horokata::restartIfTooLarge((QSizeF(screen->availableGeometry().size()) * screen->devicePixelRatio()).toSize()))
        return 0;
    // What is left once Qt took its own options (-platform, -style...) must be ours.
    if (const std::optional<int> exitCode = horokata::refuseUnknownArguments(QCoreApplication::arguments()))
        return *exitCode;
    horokata::scaleApplicationFont();
    Q_INIT_RESOURCE(art);
    horokata::installJapaneseQtTranslations(app);
    QApplication::setApplicationName(QStringLiteral("horokata"));
    // Window lists and taskbars name the game by its title, not by its file name.
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(horokata::kTitle));
    // Docks and task switchers find the game's icon through its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("horokata"));
    // The program ends when its main window closes, whatever flow was waiting then: closing
    // the window ends every flow.
    QApplication::setQuitOnLastWindowClosed(false);

    horokata::QtPlatform platform;
    horokata::ProgramState globals;
    if (!horokata::startupAllowed(platform))
        return 1;

    horokata::MainWindow window(globals, platform, QCoreApplication::applicationDirPath());
    window.records().use(horokata::RecordsStore::defaultPath());
    new horokata::CommandMenu(window, [&platform](bool on) { platform.soundOn = on; });
    platform.beforeEvents = [&window] { window.sync(); };
    platform.onRaiseRequest = [&window] { window.bringToFront(); };
    QObject::connect(&window, &horokata::MainWindow::closed, &app, [] { QCoreApplication::exit(0); });
    // The window loads as the first flow of the event loop; a failed start-up exits with 1.
    // The sound module and the sounds load once the window is ready, when the event loop
    // next idles, well before the first pick can ask for a sound.
    QObject::connect(&window, &horokata::MainWindow::loaded, &window, [&platform, &globals] {
        QStringList paths;
        for (const horokata::SoundSlot &slot : globals.soundSlots())
            if (slot.playable)
                paths << slot.path;
        platform.preloadSounds(paths);
    }, Qt::QueuedConnection);
    window.startLoading();
    return app.exec();
}

int main(int argc, char **argv)
{
    // --help, --version and --export-notebook answer in the terminal, before anything needs
    // a display.
    if (const std::optional<int> exitCode = horokata::runTerminalCommand(argc, argv))
        return *exitCode;
    int scale = 0;
    if (const std::optional<int> exitCode = horokata::chooseStartScale(argc, argv, &scale))
        return *exitCode;
    // Every window of this run is built at that size.
    horokata::setUiScalePercent(scale);
    choosePlatform();
    // The window, the lock and the records are let go before a restart at another size.
    return horokata::restartIfRequested(runGame(argc, argv));
}
