// The window while a register is silent: a frame of 265 bytes is awaited from a pseudo-terminal
// nobody answers on (a read after a send waits 1 s plus 10 ms a byte), with the link letting
// events run between the slices of its waits, as the program sets it. A timer every 10 ms
// stands for the window's repaints and clicks; the longest gap between two of its events is
// the figure (the goal: under 100 ms; a read that waits in one piece gives about 3.7 s).
#include "common/transferui.h"
#include "link/answers.h"
#include "link/commands.h"
#include "link/link.h"

#include "limit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>

#include <benchmark/benchmark.h>

namespace {

constexpr double kGoalMs = 100;

void LongestWindowGapDuringASilentRead(benchmark::State& state)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    Link link;
    link.device = QString::fromLocal8Bit(ptsname(master));
    link.port = 1;
    link.idle = [] { QCoreApplication::processEvents(); };
    SilentUi ui;
    if (link.openPort(ui, true) != 0) {
        state.SkipWithError("the pseudo-terminal does not open");
        return;
    }
    qint64 longest = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        ticks.start(10);
        clock.start();
        answers::readSingleFrame(link, ui, commands::requestTable(1, 1, 'T', 1), 265);
        longest = std::max(longest, clock.elapsed() - last);
        state.SetIterationTime(double(clock.elapsed()) / 1000);
    }
    state.counters["longest_gap_ms"] = double(longest);
    state.counters["goal_ms"] = kGoalMs;
    state.counters["ratio"] = double(longest) / kGoalMs;
    link.closePort();
    ::close(master);
}
BENCHMARK(LongestWindowGapDuringASilentRead)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
