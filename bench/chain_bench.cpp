// A shop chain programmed at once: registers behind TCP hosts with 115200-baud line timing,
// each holding the same 2000 articles as its database, 50 prices changed in each database,
// and only the changes sent with the register's prescribed pauses (fast transfers off).
//
// ChainChangedPrices/1 is one register alone; ChainChangedPrices/20 twenty at once, a line
// each. The limit of twenty is 1.3 times the time of one: the registers' runs overlap instead
// of following one another. peak_rss_mb tells whether memory grows with the registers beyond
// each one's own database and emulated register.
#include "link/commands.h"
#include "transfer/chain/chainrun.h"
#include "transfer/whole/wholerestore.h"

#include "articlerig.h"
#include "limit.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>
#include <vector>

namespace {

constexpr int kBis = 2;
constexpr int kArticles = 2000;
constexpr int kBaud = 115200;
constexpr int kFirstPort = 40;

// One shop: its database, its register (programmed with the same articles straight off the
// line) and the register's TCP host; the rig's own link is closed again, the chain opens one.
struct Shop : ArticleRig<emu::TcpHost, GoOnUi> {
    explicit Shop(int port) : ArticleRig(port, kBaud, false, kArticles)
    {
        link.closePort();
        auto lock = host.lock();
        for (int n = 1; n <= kArticles; ++n)
            reg.handle(*commands::articleRecord(
                1, 0x8001,
                db().readBytes(layout::Articles.offsetOf(n), layout::Articles.recordSize), 0,
                kBis));
        lock.unlock();
        for (int n = 40; n <= kArticles; n += 40) {
            ArticleRecord r = loadRecord<ArticleRecord>(db(), layout::Articles, n);
            r.price += 10;
            storeRecord(db(), layout::Articles, n, r);
        }
    }
};

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double g_oneRegisterMs = -1;

void ChainChangedPrices(benchmark::State& state)
{
    const int count = int(state.range(0));
    std::vector<std::unique_ptr<Shop>> shops;
    QList<chain::ChainRegister> registers;
    for (int i = 0; i < count; ++i) {
        shops.push_back(std::make_unique<Shop>(kFirstPort + i));
        if (!shops.back()->ready) {
            state.SkipWithError("no emulator");
            return;
        }
        chain::ChainRegister reg;
        reg.name = QStringLiteral("kasa%1").arg(i + 1);
        reg.port = reg.device = shops.back()->host.address();
        registers.append(reg);
    }
    wholereg::RestoreOptions options;
    options.changedOnly = true;
    options.only = {wholereg::Step::Articles};
    chain::ChainOptions chainOptions;
    chainOptions.baud = kBaud;
    chainOptions.ui = [&](int i) -> TransferUi& { return shops[size_t(i)]->ui; };
    const chain::Job job = [&](int i, Link& link, TransferUi& ui, int type) {
        const wholereg::RestoreResult r =
            wholereg::restore(link, ui, shops[size_t(i)]->db(), type, options);
        return chain::JobResult{
            r.finished && r.tables.first().records == kArticles / 40, {}, {}, {}};
    };
    double ms = 0;
    timeAgainstLimit(state, count == 1 ? 90'000 : 1.3 * g_oneRegisterMs, [&] {
        const auto start = std::chrono::steady_clock::now();
        chain::ChainRun run(registers, job, chainOptions);
        for (const chain::RegisterOutcome& o : run.run())
            if (!o.ok())
                state.SkipWithError("a register's changed prices did not all go");
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
        return -1.0;
    });
    if (count == 1)
        g_oneRegisterMs = ms;
    state.counters["registers"] = count;
    state.counters["peak_rss_mb"] = peakRssMb();
}
// One register first: the twenty are measured against it.
BENCHMARK(ChainChangedPrices)
    ->Arg(1)
    ->Arg(20)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
