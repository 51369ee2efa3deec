// Start-up cost of the game: time from process start until the program is ready, and peak
// memory then. The bare window it is compared with is bench/startup_floor.cpp.
//
//   startup_bench game <program folder> [t0_ns]   start as the program does, up to "準備完了"
//
// t0_ns is a CLOCK_REALTIME timestamp in nanoseconds taken by the caller just before it
// started this process (date +%s%N). Without it the time is measured from the process start
// time in /proc/self/stat, which the kernel keeps in clock ticks (usually 10 ms).
// Prints one line:
//   mode=game ready_ms=<ms> exposed_ms=<ms> proc_ready_ms=<ms> vmhwm_kib=<KiB> vmrss_kib=<KiB>
// ready_ms is taken when Form_Load has returned with "準備完了"; exposed_ms when the window
// is exposed on the screen. A second line, mode=records records_ms=<ms>, is the time the
// store then takes to open and lay out the board saved in XDG_DATA_HOME.
#include "startup_measure.h"

#include "app/scale_restart.h"
#include "platform_qt/ui_scale.h"
#include "app/startup.h"
#include "main_window/command_menu.h"
#include "main_window/main_window.h"
#include "records/records_store.h"
#include "platform_qt/qt_platform.h"

#include <QApplication>
#include <QPushButton>
#include <QCoro/QCoroTimer>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>

// Resources of a static library are registered by name, outside any namespace.
static void initArtResources()
{
    Q_INIT_RESOURCE(art);
}

namespace {

using namespace startup_measure;

int usage()
{
    std::fprintf(stderr, "usage: startup_bench game <program folder> [t0_ns]\n"
                         "(the bare window to compare with is startup_floor)\n");
    return 2;
}

int runGame(int argc, char **argv, const QString &programFolder, const Clock &clock)
{
    // The same steps as the program's own entry: the remembered window size first.
    int scale = 0;
    if (const std::optional<int> refused = horokata::chooseStartScale(argc, argv, &scale))
        return *refused;
    horokata::setUiScalePercent(scale);
    QApplication app(argc, argv);
    horokata::scaleApplicationFont();
    initArtResources();
    QApplication::setApplicationName(QStringLiteral("horokata"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(horokata::kTitle));

    horokata::QtPlatform platform;
    horokata::ProgramState globals;
    if (!horokata::startupAllowed(platform)) {
        std::fprintf(stderr, "start-up refused\n");
        return 1;
    }

    horokata::MainWindow window(globals, platform, programFolder);
    new horokata::CommandMenu(window, [&platform](bool on) { platform.soundOn = on; });
    platform.beforeEvents = [&window] { window.sync(); };
    if (!QCoro::waitFor(window.Form_Load())) {
        std::fprintf(stderr, "Form_Load failed\n");
        return 1;
    }
    const double readyMs = clock.elapsedMs();
    const double procReadyMs = procAgeMs().value_or(-1.0);
    const QString status = window.view().statusLabel()->text();
    if (status != QStringLiteral("準備完了")) {
        std::fprintf(stderr, "not ready: status shows '%s'\n", qPrintable(status));
        return 1;
    }
    const double exposedMs = waitExposed(window, 5000) ? clock.elapsedMs() : -1.0;
    report("game", readyMs, exposedMs, procReadyMs);
    std::printf("mode=size scale=%d device_pixel_ratio=%.2f window=%dx%d\n", scale, window.devicePixelRatioF(),
                window.width(), window.height());
    // The store opens once "準備完了" is on screen: what that adds, with a board to resume.
    window.records().use(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/horokata/records.sqlite"));
    const double beforeRecords = clock.elapsedMs();
    QCoro::waitFor(window.records().open());
    std::printf("mode=records records_ms=%.1f resumed=%d\n", clock.elapsedMs() - beforeRecords,
                window.game().playing() ? 1 : 0);
    if (!window.game().playing()) {
        // The first run leaves a board in play for the next ones to resume.
        window.button("cmdNEW")->click();
        QCoro::waitFor([&window]() -> QCoro::Task<> {
            while (window.flowRunning() || !window.game().playing())
                co_await QCoro::sleepFor(std::chrono::milliseconds(50));
        }());
        window.close();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string mode = argv[1];
    Clock clock;
    if (mode == "game") {
        if (argc < 3)
            return usage();
        if (argc >= 4)
            clock.t0Ns = std::atoll(argv[3]);
        const QString folder = QString::fromLocal8Bit(argv[2]);
        int qtArgc = 1;
        return runGame(qtArgc, argv, folder, clock);
    }
    return usage();
}
