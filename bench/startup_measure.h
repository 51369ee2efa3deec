// Measuring a start-up from inside the process: elapsed time since launch, peak memory, and
// the line both start-up benchmarks print. Header only, so that the bare-window floor links
// nothing but Qt Widgets.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

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

namespace startup_measure {

// Milliseconds since the process started, from /proc (tick resolution).
inline std::optional<double> procAgeMs()
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

inline long long nowRealtimeNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// A "VmHWM:" style line of /proc/self/status, in KiB; -1 when absent.
inline long long statusKib(const char *key)
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

inline bool waitExposed(QWidget &w, int timeoutMs)
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

inline void report(const char *mode, double readyMs, double exposedMs, double procReadyMs)
{
    std::printf("mode=%s ready_ms=%.1f exposed_ms=%.1f proc_ready_ms=%.1f vmhwm_kib=%lld vmrss_kib=%lld\n", mode,
                readyMs, exposedMs, procReadyMs, statusKib("VmHWM:"), statusKib("VmRSS:"));
    std::fflush(stdout);
}

} // namespace startup_measure
