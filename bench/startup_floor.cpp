// The floor the game's start-up is measured against: a frameless Qt Widgets window of the
// main window's size showing one green "準備完了", in a program that links only Qt Widgets.
//
//   startup_floor [t0_ns]
//
// t0_ns as for startup_bench. Prints one line in startup_bench's form, with mode=minimal;
// ready_ms and exposed_ms are both taken when the window is exposed on the screen.
#include "startup_measure.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    startup_measure::Clock clock;
    if (argc >= 2)
        clock.t0Ns = std::atoll(argv[1]);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(610, 429);
    auto *label = new QLabel(QStringLiteral("準備完了"), &window);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    label->setPalette(palette);
    label->move(10, 10);
    window.show();
    if (!startup_measure::waitExposed(window, 5000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    const double readyMs = clock.elapsedMs();
    startup_measure::report("minimal", readyMs, readyMs, startup_measure::procAgeMs().value_or(-1.0));
    return 0;
}
