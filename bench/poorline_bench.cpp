// Checked programming against the register emulator with 115200-baud line timing.
//
// RestoreVerify: 2000 articles programmed into an empty register with fast transfers, then
// read back and compared. Its limit is 2.3 times the bytes the run put on the wire (both
// ways, 10 bits a byte) over the line rate: one programming and one read back.
//
// SendVerifyPoorLine/0 and /1: the same 2000 articles sent and checked through a proxy that
// damages no byte (/0) or one byte in ten thousand (/1, a bit flipped at random, both ways).
// The limit of the damaged line is 1.3 times the clean line's time.
#include "emulator/damageproxy.h"
#include "tables/articlesend.h"
#include "transfer/whole/verify.h"

#include "articlerig.h"
#include "limit.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kBis = 2;
constexpr int kArticles = 2000;
constexpr int kBaud = 115200;

wholereg::RestoreOptions articlesOnly()
{
    wholereg::RestoreOptions options;
    options.only = {wholereg::Step::Articles};
    return options;
}

void RestoreVerify(benchmark::State& state)
{
    ArticleRig<emu::EmulatorHost, GoOnUi> rig(76, kBaud, true, kArticles);
    if (!rig.ready) {
        state.SkipWithError("no emulator");
        return;
    }
    timeAgainstLimit(state, 0, [&] {
        rig.wireBytes = 0;
        const wholereg::RestoreResult r =
            wholereg::restore(rig.link, rig.ui, rig.db(), kBis, articlesOnly());
        const wholereg::VerifyResult v =
            wholereg::verifyProgrammed(rig.link, rig.ui, rig.db(), kBis, articlesOnly(), {});
        if (!r.finished || !v.equal)
            state.SkipWithError("the register did not end equal to the database");
        return 2.3 * rig.lineLimitMs();
    });
}
BENCHMARK(RestoreVerify)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

double g_cleanMs = -1;

void SendVerifyPoorLine(benchmark::State& state)
{
    constexpr int kPort = 77;
    ArticleRig<emu::TcpHost, GoOnUi> rig(kPort, kBaud, true, kArticles);
    emu::DamageProxy cable(rig.host.port(), state.range(0) ? 1e-4 : 0, 7);
    if (!rig.ready || !cable.start()) {
        state.SkipWithError("no emulator");
        return;
    }
    // The link goes through the cable instead.
    rig.link.closePort();
    portmap::setPortOverride(kPort, cable.address());
    if (rig.link.openPort(rig.ui, false) != 0) {
        state.SkipWithError("no cable");
        return;
    }
    double ms = 0;
    timeAgainstLimit(state, state.range(0) ? 1.3 * g_cleanMs : 0, [&] {
        const auto start = std::chrono::steady_clock::now();
        const articlesend::RunResult sent = articlesend::sendAll(
            rig.link, rig.ui, rig.db(), articlesend::usedArticles(rig.db()), kBis);
        const wholereg::VerifyResult v =
            wholereg::verifyProgrammed(rig.link, rig.ui, rig.db(), kBis, articlesOnly(), {});
        if (sent.end != articlesend::RunResult::End::Completed || !v.equal)
            state.SkipWithError("the register did not end equal to the database");
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
        return state.range(0) ? -1.0 : ms;
    });
    if (!state.range(0))
        g_cleanMs = ms;
    state.counters["damaged_bytes"] = cable.damagedToRegister() + cable.damagedToProgram();
}
// The clean line first: the damaged one is measured against it.
BENCHMARK(SendVerifyPoorLine)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
