// The article grid with a full base of 2000 articles: filling it, searching it and filling it
// again, and the duplicate check of one addition.
#include "tables/articlegrid.h"
#include "tables/articlerecord.h"
#include "tables/grouprecord.h"
#include "tables/tablelayout.h"

#include "limit.h"

#include <benchmark/benchmark.h>

namespace {

// The grid is filled and searched while the user waits: within 100 ms it looks instant.
constexpr double kGridLimitMs = 100;

QByteArray fullBase()
{
    QByteArray table(layout::Articles.bytes(), '\0');
    for (int n = 1; n <= layout::Articles.count; ++n) {
        ArticleRecord r;
        r.number = n;
        r.name = QStringLiteral("Towar numer %1 ąęśżź").arg(n);
        r.price = 100 * n;
        r.barcode = QStringLiteral("590%1").arg(n, 10, 10, QLatin1Char('0'));
        r.group = 1 + n % 20;
        table.replace(qsizetype(n - 1) * ArticleRecord::Size, ArticleRecord::Size, r.encode());
    }
    return table;
}

QByteArray groups()
{
    QByteArray table(layout::Groups.bytes(), '\0');
    for (int n = 1; n <= layout::Groups.count; ++n) {
        GroupRecord g;
        g.number = n;
        g.name = QStringLiteral("Grupa %1").arg(n);
        table.replace(qsizetype(n - 1) * layout::Groups.recordSize, layout::Groups.recordSize,
                      g.encode());
    }
    return table;
}

void GridFill(benchmark::State& state)
{
    const QByteArray articles = fullBase(), groupTable = groups();
    const QByteArray packaging(layout::Packaging.bytes(), '\0');
    ArticleGridModel model;
    timeAgainstLimit(state, kGridLimitMs, [&] {
        model.refill(articles, groupTable, packaging);
        benchmark::DoNotOptimize(model.rowCount());
        return -1.0;
    });
}
BENCHMARK(GridFill)->UseManualTime()->Unit(benchmark::kMillisecond);

void GridSearch(benchmark::State& state)
{
    const QByteArray articles = fullBase(), groupTable = groups();
    const QByteArray packaging(layout::Packaging.bytes(), '\0');
    ArticleGridModel model;
    model.refill(articles, groupTable, packaging);
    timeAgainstLimit(state, kGridLimitMs, [&] {
        model.search(QStringLiteral("numer 1"));
        benchmark::DoNotOptimize(model.rowCount());
        return -1.0;
    });
}
BENCHMARK(GridSearch)->UseManualTime()->Unit(benchmark::kMillisecond);

// What the search button does: fill again, then search.
void GridRefillAndSearch(benchmark::State& state)
{
    const QByteArray articles = fullBase(), groupTable = groups();
    const QByteArray packaging(layout::Packaging.bytes(), '\0');
    ArticleGridModel model;
    timeAgainstLimit(state, kGridLimitMs, [&] {
        model.refill(articles, groupTable, packaging);
        model.search(QStringLiteral("ĄĘŚ"));
        benchmark::DoNotOptimize(model.rowCount());
        return -1.0;
    });
}
BENCHMARK(GridRefillAndSearch)->UseManualTime()->Unit(benchmark::kMillisecond);

void DuplicateCheck(benchmark::State& state)
{
    const ArticleIndex index(fullBase());
    ArticleInput in;
    in.number = QStringLiteral("17");
    in.name = QStringLiteral("Towar numer 1999 ĄĘŚŻŹ");
    in.price = QStringLiteral("1,00");
    for (auto _ : state)
        benchmark::DoNotOptimize(validateArticle(in, index).ok());
}
BENCHMARK(DuplicateCheck)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
