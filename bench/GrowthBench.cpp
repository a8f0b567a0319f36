// How the cost grows with the size of hostile inputs: the analyser on derived tables joined inside
// parentheses and nested 10, 20, 40 and 80 levels deep (sound, and with a broken tail), and a full colouring
// pass over many placeholders (closed once at the end, and never closed) and over many unclosed
// parentheses, at 50,000, 100,000 and 200,000; the Uses tree of the top of a chain of saved queries and the
// Used By tree of the table at its foot, 1,000, 2,000, 4,000 and 8,000 levels deep (the window's build, and
// the text the command prints, whose size grows with the square of the depth). Prints, for each input, the
// time at double size divided by the time at single size, measured in this run: about 2 for linear growth, 4
// for quadratic; for the text, the same ratio divided by the ratio of the text sizes.
#include "catalogue/AddinContext.h"
#include "colouring/CSQLColorize.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "host/jet/Analyser.h"
#include "platform/InMemoryRichTextControl.h"
#include "trees/TreeTextRenderer.h"
#include "trees/frmQorvel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QIODevice>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kLevels[] = {10, 20, 40, 80};
const int kSizes[] = {50000, 100000, 200000};
const int kChainLevels[] = {1000, 2000, 4000, 8000};

// SELECT * FROM G(m), G(0) = tail, G(m) = ((SELECT a FROM G(m-1)) AS Xm INNER JOIN um ON Xm.a = um.a).
QString nestedJoins(int levels, const QString& tail) {
    QString from = tail;
    for (int level = 1; level <= levels; ++level) {
        from = QStringLiteral("((SELECT a FROM %1) AS X%2 INNER JOIN u%2 ON X%2.a = u%2.a)")
                   .arg(from)
                   .arg(level);
    }
    return QStringLiteral("SELECT * FROM ") + from;
}

void analyse(benchmark::State& state, const QString& sql) {
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(jet::analyse(sql));
        } catch (const std::exception&) {
            // A broken tail fails; only the time to find out counts.
        }
    }
}

void colourPass(benchmark::State& state, const QString& text) {
    platform::InMemoryRichTextControl control;
    CSQLColorize colorizer{platform::Services()};
    colorizer.setRtb(&control);
    for (auto _ : state) {
        state.PauseTiming();
        colorizer.setTrapUndo(true);  // reload black text without colouring it
        control.setText(text);
        colorizer.setTrapUndo(false);
        colorizer.FullParse = true;
        state.ResumeTiming();
        colorizer.rtb_Change();
    }
}

// A database with a chain of saved queries: Q0 reads T, Qi reads Q(i-1). One per length, made once.
struct Chain {
    explicit Chain(int levels) {
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("chain.qdb")));
        database->createTable(
            {QStringLiteral("T"), QString(), {{QStringLiteral("ID"), QStringLiteral("Long")}}, {}});
        database->createQueryDef(QStringLiteral("Q0"), QStringLiteral("SELECT ID FROM T;"));
        for (int i = 1; i < levels; ++i) {
            database->createQueryDef(QStringLiteral("Q%1").arg(i),
                                     QStringLiteral("SELECT ID FROM [Q%1];").arg(i - 1));
        }
        top = QStringLiteral("Q%1").arg(levels - 1);
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        context = std::make_unique<AddinContext>(application.get());
    }
    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    std::unique_ptr<AddinContext> context;
    QString top;
};

Chain& chain(int levels) {
    static std::map<int, std::unique_ptr<Chain>> chains;
    auto& made = chains[levels];
    if (!made) {
        made = std::make_unique<Chain>(levels);
    }
    return *made;
}

// The tree window's build of the chain's Uses tree (of the top query) or Used By tree (of the table).
void buildTree(benchmark::State& state, int mode, int levels) {
    Chain& database = chain(levels);
    const QString object = mode == frmQorvel::ModeUses ? database.top : QStringLiteral("T");
    for (auto _ : state) {
        frmQorvel window(*database.context);
        if (!window.Initialize(mode, object) || window.Tree().nodeCount != levels + 1) {
            state.SkipWithError("the tree was not built whole");
            return;
        }
    }
}

// A device that takes whatever is written and keeps only its length: the text costs its making, not memory.
class CountingDevice : public QIODevice {
public:
    CountingDevice() { open(QIODevice::WriteOnly); }
    qint64 written = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        written += size;
        return size;
    }
};

std::map<int, qint64> gTextSizes;  // bytes of the Uses text by chain length

// The text `qorvel uses` prints for the chain's top query, of a tree built once beforehand.
void writeText(benchmark::State& state, int levels) {
    Chain& database = chain(levels);
    frmQorvel window(*database.context);
    if (!window.Initialize(frmQorvel::ModeUses, database.top)) {
        state.SkipWithError("the tree was not built");
        return;
    }
    for (auto _ : state) {
        CountingDevice device;
        QTextStream out(&device);
        WriteTreeText(window.Tree(), out, u"\n");
        out.flush();
        gTextSizes[levels] = device.written;
    }
}

struct Input {
    std::string name;
    std::vector<int> sizes;
    std::function<void(benchmark::State&, int)> run;
};

std::vector<Input> inputs() {
    std::vector<Input> all;
    const std::vector<int> levels(std::begin(kLevels), std::end(kLevels));
    const std::vector<int> sizes(std::begin(kSizes), std::end(kSizes));
    all.push_back({"analyse nested joins", levels, [](benchmark::State& state, int n) {
                       analyse(state, nestedJoins(n, QStringLiteral("t")));
                   }});
    all.push_back({"analyse nested joins, broken tail", levels, [](benchmark::State& state, int n) {
                       analyse(state, nestedJoins(n, QStringLiteral("t WHERE")));
                   }});
    all.push_back({"colour \"{VALUE \" x N + \"}\"", sizes, [](benchmark::State& state, int n) {
                       colourPass(state, QStringLiteral("{VALUE ").repeated(n) + u'}');
                   }});
    all.push_back({"colour \"{VALUE \" x N", sizes, [](benchmark::State& state, int n) {
                       colourPass(state, QStringLiteral("{VALUE ").repeated(n));
                   }});
    all.push_back({"colour \"x\" x N + \"(\" x N", sizes, [](benchmark::State& state, int n) {
                       colourPass(state, QString(n, u'x') + QString(n, u'('));
                   }});
    const std::vector<int> chains(std::begin(kChainLevels), std::end(kChainLevels));
    all.push_back({"uses tree of a query chain", chains,
                   [](benchmark::State& state, int n) { buildTree(state, frmQorvel::ModeUses, n); }});
    all.push_back({"usedby tree of a query chain", chains,
                   [](benchmark::State& state, int n) { buildTree(state, frmQorvel::ModeUsedBy, n); }});
    all.push_back(
        {"uses text of a query chain", chains, [](benchmark::State& state, int n) { writeText(state, n); }});
    return all;
}

std::string benchName(const Input& input, int n) {
    return input.name + "/" + std::to_string(n);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                // The fastest repetition: the allocator's and the other processes' noise only adds time.
                const std::string name = run.run_name.function_name;
                const double time = run.GetAdjustedCPUTime();
                const auto known = times.find(name);
                times[name] = known == times.end() ? time : std::min(known->second, time);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    // A fixed threshold: otherwise glibc raises it after the first large free, so that a smaller size runs
    // on reused heap while a larger one still maps fresh pages, and the ratios measure the allocator.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const std::vector<Input> all = inputs();
    for (const Input& input : all) {
        for (const int n : input.sizes) {
            benchmark::RegisterBenchmark(benchName(input, n).c_str(),
                                         [&input, n](benchmark::State& state) { input.run(state, n); })
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5);
        }
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nTime at double size / time at single size (target: at most 2.5)\n");
    for (const Input& input : all) {
        for (size_t i = 1; i < input.sizes.size(); ++i) {
            const auto single = reporter.times.find(benchName(input, input.sizes[i - 1]));
            const auto twice = reporter.times.find(benchName(input, input.sizes[i]));
            if (single != reporter.times.end() && twice != reporter.times.end()) {
                double ratio = twice->second / single->second;
                // The text grows with the square of the depth: what counts is the time per byte.
                const auto small = gTextSizes.find(input.sizes[i - 1]);
                const auto large = gTextSizes.find(input.sizes[i]);
                const bool perByte = input.name.find("text") != std::string::npos &&
                                     small != gTextSizes.end() && large != gTextSizes.end();
                if (perByte) {
                    ratio /= double(large->second) / double(small->second);
                }
                std::printf("%-40s %7d -> %7d: %5.2f%s\n", input.name.c_str(), input.sizes[i - 1],
                            input.sizes[i], ratio, perByte ? " (per byte of text)" : "");
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
