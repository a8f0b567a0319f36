// The engine's costs: saving generated queries (analysis, catalogue rows, one transaction each), and
// recordset filters on a large catalogue snapshot answered from the index versus a scan of every row.
#include "host/QdbDatabase.h"
#include "host/Snapshot.h"
#include "hostapi/host.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kQueries = 10000;
constexpr int kSourcesPerQuery = 5;  // 50,000 data-source rows
constexpr int kDistinctSources = 2000;
constexpr int kFilters = 10000;
constexpr int kScanFilters = 100;  // the scan is measured on fewer filters and compared per filter

const QString kPairs = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON "
    "MSysObjects.Id = "
    "MSysQueries.ObjectId Where (((MSysQueries.Attribute) = 5));");

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

std::shared_ptr<qdb::QdbDatabase>& database() {
    static std::shared_ptr<qdb::QdbDatabase> db;
    return db;
}

QString sourceName(int n) {
    return QStringLiteral("Source Table %1").arg(n % kDistinctSources);
}

QString generatedSql(int i) {
    QString from = QStringLiteral("[%1] AS S0").arg(sourceName(i * kSourcesPerQuery));
    QString columns = QStringLiteral("S0.*");
    for (int k = 1; k < kSourcesPerQuery; ++k) {
        from = QStringLiteral("(%1 INNER JOIN [%2] AS S%3 ON S0.Id = S%3.Id)")
                   .arg(from, sourceName(i * kSourcesPerQuery + k))
                   .arg(k);
        columns += QStringLiteral(", S%1.Amount AS Amount%1").arg(k);
    }
    return QStringLiteral("SELECT %1\r\nFROM %2\r\nWHERE S0.Amount > %3 ORDER BY S0.Id;")
        .arg(columns, from)
        .arg(i);
}

double perFilterIndexed = 0;
double perFilterScanned = 0;

void SaveQueries(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        database().reset();
        QFile::remove(folder().filePath(QStringLiteral("bench.qdb")));
        auto db = qdb::QdbDatabase::create(folder().filePath(QStringLiteral("bench.qdb")));
        state.ResumeTiming();
        for (int i = 0; i < kQueries; ++i) {
            db->createQueryDef(QStringLiteral("Generated Query %1").arg(i), generatedSql(i));
        }
        database() = db;
    }
    state.counters["queries_per_second"] =
        benchmark::Counter(double(kQueries) * double(state.iterations()), benchmark::Counter::kIsRate);
}

std::unique_ptr<host::Recordset> pairs() {
    return database()->openRecordset(kPairs, host::RecordsetType::Snapshot);
}

void FilterIndexed(benchmark::State& state) {
    auto snapshot = pairs();
    auto* recordset = static_cast<qdb::SnapshotRecordset*>(snapshot.get());
    long matches = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFilters; ++i) {
            recordset->setFilter(QStringLiteral("Name1 = '%1'").arg(sourceName(i * 7)));
            matches += recordset->openRecordset()->recordCount();
        }
        perFilterIndexed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kFilters;
    }
    state.counters["rows"] = snapshot->recordCount();
    state.counters["matches_per_filter"] = double(matches) / double(kFilters) / double(state.iterations());
}

void FilterScanned(benchmark::State& state) {
    auto snapshot = pairs();
    auto* recordset = static_cast<qdb::SnapshotRecordset*>(snapshot.get());
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kScanFilters; ++i) {
            recordset->setFilter(QStringLiteral("Name1 = '%1'").arg(sourceName(i * 7)));
            benchmark::DoNotOptimize(recordset->openRecordsetByScan()->recordCount());
        }
        perFilterScanned =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kScanFilters;
    }
}

BENCHMARK(SaveQueries)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FilterIndexed)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FilterScanned)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (perFilterIndexed > 0 && perFilterScanned > 0) {
        std::printf(
            "filter on %d rows: indexed %.2f us, scan %.2f us per filter; indexed is %.0f times faster\n",
            kQueries * kSourcesPerQuery, perFilterIndexed * 1e6, perFilterScanned * 1e6,
            perFilterScanned / perFilterIndexed);
    }
    return 0;
}
