// Opening and saving a full database file: one read and one write of 205,000 bytes each.
#include "database/databasesession.h"
#include "tables/articlerecord.h"
#include "tables/tablelayout.h"

#include "limit.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr double kLimitMs = 10;

struct SavedBase {
    QTemporaryDir dir;
    DatabaseSession session{dir.filePath(QStringLiteral("BDTemp.bdt"))};
    QString file = dir.filePath(QStringLiteral("sklep.vkf"));

    SavedBase()
    {
        session.createWorkingDatabase();
        for (int n = 1; n <= layout::Articles.count; ++n) {
            ArticleRecord r;
            r.number = n;
            r.name = QStringLiteral("Towar %1 zażółć").arg(n);
            r.price = n * 10;
            storeRecord(session.database(), layout::Articles, n, r);
        }
        session.saveDatabaseFile(file);
    }
};

void OpenDatabase(benchmark::State& state)
{
    SavedBase base;
    timeAgainstLimit(state, kLimitMs, [&] {
        if (!base.session.openDatabaseFile(base.file).ok)
            state.SkipWithError("open failed");
        return -1.0;
    });
}
BENCHMARK(OpenDatabase)->UseManualTime()->Unit(benchmark::kMillisecond);

void SaveDatabase(benchmark::State& state)
{
    SavedBase base;
    timeAgainstLimit(state, kLimitMs, [&] {
        if (!base.session.saveDatabaseFile(base.file).ok)
            state.SkipWithError("save failed");
        return -1.0;
    });
}
BENCHMARK(SaveDatabase)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

VDUNO_BENCHMARK_MAIN()
