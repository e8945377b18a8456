// Programming a full base of 2000 articles to a register behind a serial device server (the
// emulator's TCP host, raw and RFC 2217) with fast transfers, the server's serial line at
// 115200 baud. The limit of a run is what the serial line behind the server needs: the bytes
// the run put on the wire (both ways, 10 bits a byte) divided by the line rate. The network
// hop should add little to it.
//
// Arguments: RFC 2217 (0 raw TCP, 1 telnet with the COM-PORT option), number of articles.
#include "emulator/tcphost.h"
#include "tables/articlesend.h"

#include "articlerig.h"
#include "limit.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPort = 78;
constexpr int kBis = 2;
constexpr int kBaud = 115200;

using Rig = ArticleRig<emu::TcpHost>;

void SendAllArticlesOverTcp(benchmark::State& state)
{
    const bool rfc2217 = state.range(0) != 0;
    const int count = int(state.range(1));
    Rig rig(kPort, kBaud, true, count, rfc2217);
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
}
BENCHMARK(SendAllArticlesOverTcp)
    ->ArgNames({"rfc2217", "articles"})
    ->Args({0, 2000})
    ->Args({1, 2000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
