// Start-up cost: time from process start until the program is ready, and peak memory then.
//
//   startup_bench game <program folder> [t0_ns]   start as the program does, up to "準備完了"
//   startup_bench minimal [t0_ns]                  a bare frameless window with one label
//
// t0_ns is a CLOCK_REALTIME timestamp in nanoseconds taken by the caller just before it
// started this process (date +%s%N). Without it the time is measured from the process start
// time in /proc/self/stat, which the kernel keeps in clock ticks (usually 10 ms).
// Prints one line:
//   mode=<mode> ready_ms=<ms> exposed_ms=<ms> proc_ready_ms=<ms> vmhwm_kib=<KiB> vmrss_kib=<KiB>
// ready_ms is taken when the window is ready (game: Form_Load returned with "準備完了";
// minimal: its window is exposed); exposed_ms when its window is exposed on the screen.
#include "app/startup.h"
#include "main_window/main_window.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

// Resources of a static library are registered by name, outside any namespace.
static void initArtResources()
{
    Q_INIT_RESOURCE(art);
}

namespace {

// Milliseconds since the process started, from /proc (tick resolution).
std::optional<double> procAgeMs()
{
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // The command name (field 2) may hold spaces; fields after it follow the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    // Field 3 is the first after ')'; field 22 is starttime.
    for (int i = 3; i < 22; ++i)
        rest >> field;
    unsigned long long startTicks = 0;
    if (!(rest >> startTicks))
        return std::nullopt;
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    if (!(uptimeFile >> uptime))
        return std::nullopt;
    const long ticks = sysconf(_SC_CLK_TCK);
    if (ticks <= 0)
        return std::nullopt;
    return uptime * 1000.0 - static_cast<double>(startTicks) * 1000.0 / static_cast<double>(ticks);
}

long long nowRealtimeNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// A "VmHWM:" style line of /proc/self/status, in KiB; -1 when absent.
long long statusKib(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t keyLength = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, keyLength, key) == 0)
            return std::atoll(line.c_str() + keyLength);
    }
    return -1;
}

struct Clock {
    long long t0Ns = 0; // 0: use /proc

    double elapsedMs() const
    {
        if (t0Ns > 0)
            return static_cast<double>(nowRealtimeNs() - t0Ns) / 1e6;
        return procAgeMs().value_or(-1.0);
    }
};

bool waitExposed(QWidget &w, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (w.windowHandle() && w.windowHandle()->isExposed())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return w.windowHandle() && w.windowHandle()->isExposed();
}

void report(const char *mode, double readyMs, double exposedMs, double procReadyMs)
{
    std::printf("mode=%s ready_ms=%.1f exposed_ms=%.1f proc_ready_ms=%.1f vmhwm_kib=%lld vmrss_kib=%lld\n", mode,
                readyMs, exposedMs, procReadyMs, statusKib("VmHWM:"), statusKib("VmRSS:"));
    std::fflush(stdout);
}

int usage()
{
    std::fprintf(stderr, "usage: startup_bench game <program folder> [t0_ns]\n"
                         "       startup_bench minimal [t0_ns]\n");
    return 2;
}

int runGame(int argc, char **argv, const QString &programFolder, const Clock &clock)
{
    // The same steps as the program's own entry.
    QApplication app(argc, argv);
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
    platform.beforeEvents = [&window] { window.sync(); };
    if (!window.Form_Load()) {
        std::fprintf(stderr, "Form_Load failed\n");
        return 1;
    }
    const double readyMs = clock.elapsedMs();
    const double procReadyMs = procAgeMs().value_or(-1.0);
    const QString status = window.statusLabel()->text();
    if (status != QStringLiteral("準備完了")) {
        std::fprintf(stderr, "not ready: status shows '%s'\n", qPrintable(status));
        return 1;
    }
    const double exposedMs = waitExposed(window, 5000) ? clock.elapsedMs() : -1.0;
    report("game", readyMs, exposedMs, procReadyMs);
    return 0;
}

int runMinimal(int argc, char **argv, const Clock &clock)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(610, 429);
    auto *label = new QLabel(QStringLiteral("準備完了"), &window);
    label->move(10, 10);
    window.show();
    if (!waitExposed(window, 5000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    const double readyMs = clock.elapsedMs();
    report("minimal", readyMs, readyMs, procAgeMs().value_or(-1.0));
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
    if (mode == "minimal") {
        if (argc >= 3)
            clock.t0Ns = std::atoll(argv[2]);
        int qtArgc = 1;
        return runMinimal(qtArgc, argv, clock);
    }
    return usage();
}
