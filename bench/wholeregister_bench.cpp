// The whole register at once against the register emulator with line timing.
//
// ChangedPricesOnly: a register holding the same 2000 articles as the database, 50 prices
// changed in the database, and only the changes sent with the register's prescribed pauses
// (fast transfers off). Its limit is a fixed 90 s; sending the whole base the same way takes
// about 35 minutes.
//
// WholeRestore: a full database programmed into an empty register with fast transfers. Its
// limit is the bytes the run put on the wire (both ways, 10 bits a byte) over the line rate.
#include "link/commands.h"
#include "transfer/whole/wholerestore.h"

#include "articlerig.h"
#include "limit.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPort = 78;
constexpr int kBis = 2;
constexpr int kArticles = 2000;
constexpr int kBaud = 115200;

struct Rig : ArticleRig<emu::EmulatorHost, GoOnUi> {
    explicit Rig(bool fast) : ArticleRig(kPort, kBaud, fast, kArticles) {}
    // The register takes the database's articles straight from their frames, off the line.
    void programRegisterDirectly()
    {
        auto lock = host.lock();
        for (int n = 1; n <= kArticles; ++n) {
            const QByteArray record =
                db().readBytes(layout::Articles.offsetOf(n), layout::Articles.recordSize);
            reg.handle(*commands::articleRecord(1, 0x8001, record, 0, kBis));
        }
    }
};

void ChangedPricesOnly(benchmark::State& state)
{
    Rig rig(false);
    if (!rig.ready) {
        state.SkipWithError("no emulator");
        return;
    }
    wholereg::RestoreOptions options;
    options.changedOnly = true;
    options.only = {wholereg::Step::Articles};
    rig.programRegisterDirectly();
    for (int n = 40; n <= kArticles; n += 40) {
        ArticleRecord r = loadRecord<ArticleRecord>(rig.session.database(), layout::Articles, n);
        r.price += 10;
        storeRecord(rig.session.database(), layout::Articles, n, r);
    }
    // One run: a second would find nothing left to send.
    timeAgainstLimit(state, 90'000, [&] {
        const wholereg::RestoreResult result =
            wholereg::restore(rig.link, rig.ui, rig.session.database(), kBis, options);
        if (!result.finished || result.tables.first().records != kArticles / 40)
            state.SkipWithError("the changed prices did not all go");
        return -1.0;
    });
}
BENCHMARK(ChangedPricesOnly)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void WholeRestore(benchmark::State& state)
{
    Rig rig(true);
    if (!rig.ready) {
        state.SkipWithError("no emulator");
        return;
    }
    timeAgainstLimit(state, 0, [&] {
        rig.wireBytes = 0;
        const wholereg::RestoreResult result =
            wholereg::restore(rig.link, rig.ui, rig.session.database(), kBis, {});
        if (!result.finished)
            state.SkipWithError("the restore did not finish");
        return rig.lineLimitMs();
    });
    state.counters["wire_bytes"] = double(rig.wireBytes);
}
BENCHMARK(WholeRestore)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
