// Running queries through the translator: a three-table join with grouping over 100,000 rows against the
// same statement written by hand for SQLite on the same file, and a crosstab over the same rows.
#include "host/HostText.h"
#include "host/QdbDatabase.h"
#include "host/SqliteConnection.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kOrders = 100000;
constexpr int kCustomers = 5000;
constexpr int kProducts = 500;
constexpr int kRegions = 12;
constexpr int kCategories = 20;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString path() {
    return folder().filePath(QStringLiteral("run.qdb"));
}

std::shared_ptr<qdb::QdbDatabase>& database() {
    static std::shared_ptr<qdb::QdbDatabase> db = [] {
        auto created = qdb::QdbDatabase::create(path());
        qdb::TableSpec customers{QStringLiteral("Customers"),
                                 {},
                                 {{QStringLiteral("CustID"), QStringLiteral("Long")},
                                  {QStringLiteral("Region"), QStringLiteral("Text")}},
                                 {}};
        for (int i = 0; i < kCustomers; ++i) {
            customers.rows.push_back({i, QStringLiteral("Region %1").arg(i % kRegions)});
        }
        qdb::TableSpec products{QStringLiteral("Products"),
                                {},
                                {{QStringLiteral("ProdID"), QStringLiteral("Long")},
                                 {QStringLiteral("Category"), QStringLiteral("Text")},
                                 {QStringLiteral("Price"), QStringLiteral("Double")}},
                                {}};
        for (int i = 0; i < kProducts; ++i) {
            products.rows.push_back(
                {i, QStringLiteral("Category %1").arg(i % kCategories), 1.25 + double(i % 40) * 0.5});
        }
        qdb::TableSpec orders{QStringLiteral("Orders"),
                              {},
                              {{QStringLiteral("OrderID"), QStringLiteral("Long")},
                               {QStringLiteral("CustID"), QStringLiteral("Long")},
                               {QStringLiteral("ProdID"), QStringLiteral("Long")},
                               {QStringLiteral("Qty"), QStringLiteral("Long")}},
                              {}};
        // Customers and products picked at random (a fixed linear congruential sequence).
        quint32 seed = 12345;
        const auto pick = [&seed](int count) {
            seed = seed * 1664525u + 1013904223u;
            return int((seed >> 8) % quint32(count));
        };
        for (int i = 0; i < kOrders; ++i) {
            orders.rows.push_back({i, pick(kCustomers), pick(kProducts), 1 + pick(9)});
        }
        created->createTable(customers);
        created->createTable(products);
        created->createTable(orders);
        return created;
    }();
    return db;
}

const QString kJoin = QStringLiteral(
    "SELECT c.Region, p.Category, Sum(o.Qty * p.Price) AS Total, Count(*) AS Lines "
    "FROM (Orders AS o INNER JOIN Customers AS c ON o.CustID = c.CustID) "
    "INNER JOIN Products AS p ON o.ProdID = p.ProdID GROUP BY c.Region, p.Category");

// The same query as one would write it for SQLite.
const QString kHandWritten = QStringLiteral(
    "SELECT c.Region, p.Category, sum(o.Qty * p.Price) AS Total, count(*) AS Lines "
    "FROM Orders AS o JOIN Customers AS c ON o.CustID = c.CustID "
    "JOIN Products AS p ON o.ProdID = p.ProdID GROUP BY c.Region, p.Category");

const QString kCrosstab = QStringLiteral(
    "TRANSFORM Sum(o.Qty) AS Quantity SELECT c.Region FROM (Orders AS o INNER JOIN Customers AS c "
    "ON o.CustID = c.CustID) INNER JOIN Products AS p ON o.ProdID = p.ProdID "
    "GROUP BY c.Region PIVOT p.Category");

double translatedSeconds = 0;
double handWrittenSeconds = 0;
double crosstabSeconds = 0;
int crosstabColumns = 0;

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void JoinTranslated(benchmark::State& state) {
    auto& db = *database();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const qdb::QueryResult result = db.runSql(kJoin, {});
        translatedSeconds = seconds(start);
        state.counters["rows"] = result.rowCount();
    }
}

void JoinHandWritten(benchmark::State& state) {
    database();
    qdb::SqliteConnection connection(path(), false);
    qdb::registerHostText(connection.handle());
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto statement = connection.prepare(kHandWritten);
        std::vector<QVariant> cells;
        while (statement.step()) {
            for (int i = 0; i < statement.columnCount(); ++i) {
                cells.push_back(statement.value(i));
            }
        }
        handWrittenSeconds = seconds(start);
        state.counters["rows"] = double(cells.size()) / 4;
    }
}

void Crosstab(benchmark::State& state) {
    auto& db = *database();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const qdb::QueryResult result = db.runSql(kCrosstab, {});
        crosstabSeconds = seconds(start);
        crosstabColumns = int(result.columns.size());
        state.counters["rows"] = result.rowCount();
    }
}

BENCHMARK(JoinTranslated)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(JoinHandWritten)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Crosstab)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (translatedSeconds > 0 && handWrittenSeconds > 0) {
        std::printf(
            "three-table join with grouping over %d rows: translated %.1f ms, hand-written %.1f ms; "
            "ratio %.2f (target at most 1.5)\n",
            kOrders, translatedSeconds * 1e3, handWrittenSeconds * 1e3,
            translatedSeconds / handWrittenSeconds);
    }
    if (crosstabSeconds > 0) {
        std::printf("crosstab over %d rows (%d columns): %.1f ms, %.2f us per row\n", kOrders,
                    crosstabColumns, crosstabSeconds * 1e3, crosstabSeconds * 1e6 / kOrders);
    }
    return 0;
}
