#include "app/csv/csvexport.h"
#include "app/csv/csvimport.h"
#include "common/transferui.h"
#include "database/databasesession.h"
#include "tables/articlerecord.h"

#include <QTemporaryDir>

#include "limit.h"

#include <benchmark/benchmark.h>

// Export and import of a full article base (2000 articles) through the working copy.
namespace {

// An export or import the user waits for: 100 ms looks instant.
constexpr double kCsvLimitMs = 100;

struct FullBase {
    QTemporaryDir dir;
    DatabaseSession session{dir.filePath(QStringLiteral("BDTemp.bdt"))};

    FullBase()
    {
        session.createWorkingDatabase();
        for (int n = 1; n <= 2000; ++n) {
            ArticleRecord r;
            r.number = n;
            r.name = QStringLiteral("Towar numer %1; żółty \"pełny\" opis").arg(n);
            r.vat = char('A' + n % 7);
            r.price = n * 137;
            r.barcode = QString::number(5900000000000LL + n);
            r.group = 1 + n % 20;
            r.tandem = n % 21;
            r.fixedPrice = n % 2;
            r.wholeQuantity = n % 3;
            r.halo = n % 10;
            r.unit = n % 10;
            storeRecord(session.database(), layout::Articles, n, r);
        }
    }
};

void exportArticles(benchmark::State& state)
{
    FullBase base;
    timeAgainstLimit(state, kCsvLimitMs, [&] {
        const QByteArray bytes = csv::exportTable(base.session, csv::Table::Articles);
        benchmark::DoNotOptimize(bytes.data());
        return -1.0;
    });
}
BENCHMARK(exportArticles)->UseManualTime()->Unit(benchmark::kMillisecond);

void importArticles(benchmark::State& state)
{
    FullBase base;
    const QByteArray file = csv::exportTable(base.session, csv::Table::Articles);
    SilentUi ui;
    timeAgainstLimit(state, kCsvLimitMs, [&] {
        const csv::ImportOutcome out = csv::importBytes(base.session, file, ui);
        if (!out.ok || out.written != 2000)
            state.SkipWithError("import refused");
        return -1.0;
    });
}
BENCHMARK(importArticles)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
