// Programming and reading back a full base of 2000 articles against the register emulator
// with line timing, as a technician's laptop does it over the cable. The limit of a run is
// the bytes it put on the wire (both ways, 10 bits a byte) divided by the line rate; the
// register itself takes no time per record.
//
// Arguments: baud rate, fast transfers (0/1), number of articles. With the register's
// prescribed pauses (over a second an article) a full base takes more than half an hour, so
// those runs send 20 articles and also report the figure for 2000 ("ms_for_2000").
#include "tables/articleread.h"
#include "tables/articlesend.h"

#include "articlerig.h"
#include "limit.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPort = 77;
constexpr int kBis = 2;

using Rig = ArticleRig<emu::EmulatorHost>;

void SendAllArticles(benchmark::State& state)
{
    const int baud = int(state.range(0));
    const bool fast = state.range(1) != 0;
    const int count = int(state.range(2));
    Rig rig(kPort, baud, fast, count);
    if (!rig.ready) {
        state.SkipWithError("no emulator");
        return;
    }
    const QList<int> numbers = articlesend::usedArticles(rig.session.database());
    timeAgainstLimit(state, 0, [&] {
        rig.wireBytes = 0;
        const auto run =
            articlesend::sendAll(rig.link, rig.ui, rig.session.database(), numbers, kBis);
        if (run.programmed != count)
            state.SkipWithError("not every article was confirmed");
        return rig.lineLimitMs();
    });
    state.counters["wire_bytes"] = double(rig.wireBytes);
    state.counters["ms_for_2000"] = state.counters["mean_ms"] * 2000 / count;
}
BENCHMARK(SendAllArticles)
    ->ArgNames({"baud", "fast", "articles"})
    ->Args({115200, 1, 2000})
    ->Args({9600, 1, 2000})
    ->Args({115200, 0, 20})
    ->Args({9600, 0, 20})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void ReadBackArticles(benchmark::State& state)
{
    const int baud = int(state.range(0));
    const bool fast = state.range(1) != 0;
    Rig rig(kPort, baud, fast, 0);
    if (!rig.ready) {
        state.SkipWithError("no emulator");
        return;
    }
    {
        auto lock = rig.host.lock();
        rig.reg.fillDemo(2000);
    }
    timeAgainstLimit(state, 0, [&] {
        rig.wireBytes = 0;
        const auto result =
            articleread::readArticles(rig.link, rig.ui, rig.session.database(), kBis);
        if (!result.complete() || result.framesStored != 2000)
            state.SkipWithError("the base did not arrive whole");
        return rig.lineLimitMs();
    });
    state.counters["wire_bytes"] = double(rig.wireBytes);
}
BENCHMARK(ReadBackArticles)
    ->ArgNames({"baud", "fast"})
    ->Args({115200, 1})
    ->Args({9600, 1})
    ->Args({115200, 0})
    ->Args({9600, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
