// The analyser on a generated workload: 10,000 queries of every shape per iteration, reported against the
// cost of only tokenizing the same texts in the same run; and one query growing in length, whose fitted
// complexity (and its RMS) shows whether the cost stays linear in the text.
#include "host/jet/Analyser.h"
#include "host/jet/Tokenizer.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

QStringList generatedQueries(int count) {
    QStringList queries;
    queries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString t = QStringLiteral("[Table %1]").arg(i % 97);
        const QString u = QStringLiteral("Q%1").arg(i % 89);
        switch (i % 6) {
            case 0:
                queries
                    << QStringLiteral(
                           "SELECT A.ID, A.[Order Date], B.* FROM %1 AS A INNER JOIN %2 AS B ON A.ID = B.ID "
                           "WHERE A.Amount > %3 AND B.Name Like \"x*\" ORDER BY A.[Order Date] DESC;")
                           .arg(t, u)
                           .arg(i);
                break;
            case 1:
                queries
                    << QStringLiteral(
                           "SELECT X.ID, Sum(X.Amount) AS Total FROM (SELECT ID, Amount FROM %1 WHERE Amount "
                           "> 0) AS X GROUP BY X.ID HAVING Sum(X.Amount) > %2;")
                           .arg(t)
                           .arg(i);
                break;
            case 2:
                queries << QStringLiteral(
                               "SELECT Name FROM %1 UNION SELECT Name FROM %2 UNION ALL SELECT "
                               "Name FROM Archive%3 ORDER BY Name;")
                               .arg(t, u)
                               .arg(i);
                break;
            case 3:
                queries << QStringLiteral("UPDATE %1 SET Price = Price * 1.1, Stamp = Now() WHERE ID = %2;")
                               .arg(t)
                               .arg(i);
                break;
            case 4:
                queries << QStringLiteral(
                               "PARAMETERS [From Date] DateTime; INSERT INTO %1 ( ID, Total ) SELECT ID, "
                               "Amount FROM %2 WHERE Stamp >= [From Date];")
                               .arg(t, u);
                break;
            default:
                queries << QStringLiteral(
                               "TRANSFORM Sum(Amount) AS S SELECT Region FROM %1 GROUP BY Region PIVOT "
                               "Format(Stamp, \"yyyy\");")
                               .arg(t);
                break;
        }
    }
    return queries;
}

void BM_AnalyseGeneratedQueries(benchmark::State& state) {
    const QStringList queries = generatedQueries(10000);
    qint64 tokenizeNs = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& sql : queries) {
            benchmark::DoNotOptimize(jet::tokenize(sql));
        }
        tokenizeNs = std::min(tokenizeNs, timer.nsecsElapsed());
    }
    qint64 analyseNs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& sql : queries) {
            benchmark::DoNotOptimize(jet::analyse(sql));
        }
        analyseNs += timer.nsecsElapsed();
    }
    state.counters["queries/s"] =
        benchmark::Counter(double(queries.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["analyse/tokenize"] = double(analyseNs) / double(state.iterations()) / double(tokenizeNs);
}
BENCHMARK(BM_AnalyseGeneratedQueries)->Unit(benchmark::kMillisecond);

void BM_AnalyseLongQuery(benchmark::State& state) {
    const int n = int(state.range(0));
    QStringList columns;
    QStringList conditions;
    for (int i = 0; i < n; ++i) {
        columns << QStringLiteral("[T].[Field %1] & \"-\" AS [Alias %1]").arg(i);
        conditions << QStringLiteral("(T.F%1 Between %1 And %2)").arg(i).arg(i + 10);
    }
    const QString sql = QStringLiteral("SELECT %1 FROM T WHERE %2;")
                            .arg(columns.join(QStringLiteral(", ")), conditions.join(QStringLiteral(" Or ")));
    for (auto _ : state) {
        benchmark::DoNotOptimize(jet::analyse(sql));
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_AnalyseLongQuery)->RangeMultiplier(4)->Range(256, 65536)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
