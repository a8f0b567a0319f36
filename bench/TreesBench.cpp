// The dependency trees on a generated database in which one table, Base, is read directly or through other
// queries by about 10,000 tree nodes: tree nodes built per second for the Used By tree of Base and the Uses
// tree of a query above everything, and the Used By build against a variant that runs one catalogue
// statement per visited name, measured in the same run.
#include "catalogue/AddinContext.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "trees/frmQorvel.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

// 100 queries read Base (and a lookup table); 330 read ten of those each (every tenth through a subquery),
// so each of the 100 is read by 33; ten queries read 33 of the 330 each, and one query reads the ten. The
// Used By tree of Base has 100 + 3 x 3,300 = 10,000 nodes below its root, the Uses tree of the top query
// 10 + 330 x (1 + 10 x 3) = 10,240.
constexpr int kFirstLevel = 100;
constexpr int kSecondLevel = 330;
constexpr int kSourcesPerSecond = 10;
constexpr int kThirdLevel = 10;
constexpr int kSourcesPerThird = 33;

QString firstName(int i) {
    return QStringLiteral("Base Query %1").arg(i);
}
QString secondName(int i) {
    return QStringLiteral("Second %1").arg(i);
}
QString thirdName(int i) {
    return QStringLiteral("Third %1").arg(i);
}

QString readingSql(const QStringList& sources, bool lastAsSubquery) {
    QStringList from;
    for (int k = 0; k < sources.size(); ++k) {
        if (lastAsSubquery && k == sources.size() - 1) {
            from << QStringLiteral("(SELECT ID FROM [%1]) AS t%2").arg(sources.at(k)).arg(k);
        } else {
            from << QStringLiteral("[%1] AS t%2").arg(sources.at(k)).arg(k);
        }
    }
    return QStringLiteral("SELECT t0.ID FROM %1;").arg(from.join(QStringLiteral(", ")));
}

struct Fixture {
    Fixture() {
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("trees.qdb")));
        database->createTable(
            {QStringLiteral("Base"), QString(), {{QStringLiteral("ID"), QStringLiteral("Long")}}, {}});
        database->createTable(
            {QStringLiteral("Lookup"), QString(), {{QStringLiteral("ID"), QStringLiteral("Long")}}, {}});
        for (int i = 0; i < kFirstLevel; ++i) {
            database->createQueryDef(
                firstName(i),
                QStringLiteral(
                    "SELECT Base.ID FROM Base INNER JOIN Lookup ON Base.ID = Lookup.ID WHERE Base.ID > %1;")
                    .arg(i));
        }
        for (int i = 0; i < kSecondLevel; ++i) {
            QStringList sources;
            for (int k = 0; k < kSourcesPerSecond; ++k) {
                sources << firstName((i + k * (kFirstLevel / kSourcesPerSecond)) % kFirstLevel);
            }
            database->createQueryDef(secondName(i), readingSql(sources, i % 10 == 0));
        }
        QStringList thirds;
        for (int m = 0; m < kThirdLevel; ++m) {
            QStringList sources;
            for (int k = 0; k < kSourcesPerThird; ++k) {
                sources << secondName(m * kSourcesPerThird + k);
            }
            database->createQueryDef(thirdName(m), readingSql(sources, false));
            thirds << thirdName(m);
        }
        database->createQueryDef(QStringLiteral("Everything"), readingSql(thirds, false));
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        context = std::make_unique<AddinContext>(application.get());
    }

    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    std::unique_ptr<AddinContext> context;
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

struct Measured {
    double seconds = 0;
    int nodes = 0;
};
Measured usedBySnapshot;
Measured usedByPerName;
Measured usesTree;

Measured buildTree(int mode, const QString& object, frmQorvel::UsedByLookup lookup) {
    frmQorvel window(*fixture().context);
    window.setUsedByLookup(lookup);
    const auto start = std::chrono::steady_clock::now();
    if (!window.Initialize(mode, object)) {
        std::fprintf(stderr, "the tree of %s was not built\n", qPrintable(object));
        std::exit(1);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, window.tvQorvel().nodeCount()};
}

void run(benchmark::State& state, Measured& result, int mode, const QString& object,
         frmQorvel::UsedByLookup lookup) {
    for (auto _ : state) {
        result = buildTree(mode, object, lookup);
        state.SetIterationTime(result.seconds);
    }
    state.counters["nodes"] = result.nodes;
    state.counters["nodes_per_second"] = result.nodes / result.seconds;
}

void UsedByTree(benchmark::State& state) {
    run(state, usedBySnapshot, frmQorvel::ModeUsedBy, QStringLiteral("Base"),
        frmQorvel::UsedByLookup::Snapshot);
}

void UsedByTreeStatementPerName(benchmark::State& state) {
    run(state, usedByPerName, frmQorvel::ModeUsedBy, QStringLiteral("Base"),
        frmQorvel::UsedByLookup::StatementPerName);
}

void UsesTree(benchmark::State& state) {
    run(state, usesTree, frmQorvel::ModeUses, QStringLiteral("Everything"),
        frmQorvel::UsedByLookup::Snapshot);
}

BENCHMARK(UsedByTree)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(UsedByTreeStatementPerName)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(UsesTree)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Peak resident memory of the process, in MiB.
double peakMemoryMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto report = [](const char* what, const Measured& measured) {
        if (measured.seconds > 0) {
            std::printf("%s: %d nodes in %.3f s, %.0f nodes per second\n", what, measured.nodes,
                        measured.seconds, measured.nodes / measured.seconds);
        }
    };
    report("Used By tree of Base", usedBySnapshot);
    report("Used By tree, one statement per name", usedByPerName);
    report("Uses tree of Everything", usesTree);
    if (usedBySnapshot.seconds > 0 && usedByPerName.seconds > 0) {
        std::printf("Used By from one snapshot is %.1f times faster than one statement per name\n",
                    usedByPerName.seconds / usedBySnapshot.seconds);
    }
    std::printf("peak memory: %.1f MiB\n", peakMemoryMiB());
    return 0;
}
