// Celebration timing: wall time against the schedule, and the processor time it takes.
// Run it on a real X server (bench/effect_bench.sh runs it under Xvfb at two screen sizes).
#include "animation/animation_model.h"
#include "effect/effect_art.h"
#include "effect/celebration_window.h"
#include "platform_qt/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <random>

using namespace horokata;

namespace {

// The program's own platform layer, with the random numbers seeded the same every run so each
// run deals the same sprites.
class BenchPlatform : public QtPlatform {
public:
    float rnd() override { return std::uniform_real_distribution<float>(0.0f, 0.99999994f)(gen_); }
    void randomize() override { gen_.seed(20240601u); }

private:
    std::mt19937 gen_{20240601u};
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The whole celebration in a real window over the main window at the screen's centre.
void BM_Celebration(benchmark::State &state)
{
    QWidget mainWindow;
    mainWindow.resize(610, 429);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    mainWindow.move(screen.center() - QPoint(305, 214));
    mainWindow.show();
    QCoreApplication::processEvents();

    BenchPlatform platform;
    CelebrationStats stats;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpu0 = cpuSeconds();
        QElapsedTimer t;
        t.start();
        QCoro::waitFor(playCelebration(&mainWindow, platform, &stats));
        wall = t.nsecsElapsed() / 1e9;
        cpu = cpuSeconds() - cpu0;
        state.SetIterationTime(wall);
    }
    state.counters["screen_w"] = stats.screenWidth;
    state.counters["screen_h"] = stats.screenHeight;
    state.counters["ideal_ms"] = stats.idealMs;
    state.counters["frames_ms"] = static_cast<double>(stats.performMs);
    state.counters["over_ideal_%"] = 100.0 * (stats.performMs - stats.idealMs) / stats.idealMs;
    state.counters["cpu_ms"] = cpu * 1000.0;
    state.counters["cpu_share_%"] = 100.0 * cpu / wall;
    state.counters["paints"] = stats.paints;
    state.counters["captured"] = stats.captured ? 1 : 0;
    std::printf("celebration %dx%d: frames %lld ms against the schedule's %d ms (%+.1f%%), "
                "whole call %.0f ms, cpu %.0f ms (%.1f%% of one core), %d sprite copies%s\n",
                stats.screenWidth, stats.screenHeight, static_cast<long long>(stats.performMs),
                stats.idealMs, 100.0 * (stats.performMs - stats.idealMs) / stats.idealMs,
                wall * 1000, cpu * 1000, 100.0 * cpu / wall, stats.paints,
                stats.captured ? "" : ", screen not captured");
}
BENCHMARK(BM_Celebration)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Skip latency: Escape pressed one second into the celebration, to its window hidden and to
// the call's end (the game going on).
void BM_CelebrationSkip(benchmark::State &state)
{
    QWidget mainWindow;
    mainWindow.resize(610, 429);
    mainWindow.show();
    QCoreApplication::processEvents();
    BenchPlatform platform;
    qint64 hiddenMs = -1, doneMs = -1;
    for (auto _ : state) {
        QElapsedTimer t;
        QTimer::singleShot(1000, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("Form3") && w->isVisible()) {
                    t.start();
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QCoreApplication::sendEvent(w, &press);
                    QTimer::singleShot(0, [&t, &hiddenMs, w] { hiddenMs = w->isVisible() ? -1 : t.elapsed(); });
                }
        });
        QCoro::waitFor(playCelebration(&mainWindow, platform));
        doneMs = t.isValid() ? t.elapsed() : -1;
        state.SetIterationTime(doneMs / 1000.0);
    }
    state.counters["hidden_ms"] = static_cast<double>(hiddenMs);
    state.counters["done_ms"] = static_cast<double>(doneMs);
    std::printf("celebration skipped by Escape: window hidden after %lld ms, over after %lld ms\n",
                static_cast<long long>(hiddenMs), static_cast<long long>(doneMs));
}
BENCHMARK(BM_CelebrationSkip)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The model alone: deal and all 119 frames, no drawing or waiting.
void BM_ModelAllFrames(benchmark::State &state)
{
    BenchPlatform platform;
    for (auto _ : state) {
        AnimationModel m;
        m.INIT_PF(512, 384, platform);
        m.setScreen(1024, 768);
        int draws = 0;
        while (!m.finished())
            draws += static_cast<int>(m.nextFrame().draws.size());
        benchmark::DoNotOptimize(draws);
    }
}
BENCHMARK(BM_ModelAllFrames)->Unit(benchmark::kMicrosecond);

// One stretched sprite copy into a screen-sized picture, as the window does per sprite.
void BM_SpriteCopy(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    QImage backing(1024, 768, QImage::Format_RGB32);
    backing.fill(Qt::darkCyan);
    const QImage &sheet = spriteSheet();
    for (auto _ : state) {
        QPainter p(&backing);
        p.drawImage(QRect(300, 200, size, size), sheet, QRect(48, 48, 48, 48));
    }
}
BENCHMARK(BM_SpriteCopy)->Arg(48)->Arg(166)->Arg(230);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
