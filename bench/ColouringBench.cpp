// Colouring and undo costs on generated SQL texts of 50, 500 and 5,000 lines, for both rich-text controls:
// loading the text uncoloured (the baseline), a full colouring pass, an incremental pass after a
// one-character edit, and the memory held by undo snapshots. Prints the ratios at the end.
#include "catalogue/AddinContext.h"
#include "colouring/CSQLColorize.h"
#include "editor/HeadlessEditor.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/InMemoryTimer.h"
#include "platform/QtRichTextControl.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QString>
#include <QTextEdit>

#include <malloc.h>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

const int kSizes[] = {50, 500, 5000};

QString generatedSql(int lines) {
    static const char* const kLines[] = {
        "SELECT o.OrderID, Count(d.[Unit Price]) AS Total%1, 'text %1' AS Label, {FIELD name}",
        "FROM [Order Details] AS d INNER JOIN Orders AS o ON d.OrderID = o.OrderID",
        "WHERE o.Name Like \"A*\" And (o.Amount Between %1 And %2) Or o.Code In (1, 2, 3)",
        "GROUP BY o.OrderID HAVING Sum(d.Qty) > %1 AND Max(d.Price) < %2",
        "ORDER BY o.OrderID DESC, o.Name;",
    };
    QStringList text;
    for (int i = 0; i < lines; ++i) {
        text.append(QString::fromLatin1(kLines[i % 5])
                        .replace(QLatin1String("%1"), QString::number(i))
                        .replace(QLatin1String("%2"), QString::number(i + 10)));
    }
    return text.join(QStringLiteral("\r\n"));
}

struct ControlKind {
    const char* name;
    std::function<std::unique_ptr<platform::RichTextControl>()> create;
};

std::vector<ControlKind> controlKinds() {
    return {
        {"Memory", [] { return std::make_unique<platform::InMemoryRichTextControl>(); }},
        {"Qt",
         [] {
             auto control = std::make_unique<platform::QtRichTextControl>();
             control->widget()->resize(800, 600);
             control->widget()->show();
             return control;
         }},
    };
}

void loadUncoloured(benchmark::State& state, const ControlKind& kind, int lines) {
    const QString text = generatedSql(lines);
    auto control = kind.create();
    for (auto _ : state) {
        control->setText(text);
    }
}

void fullPass(benchmark::State& state, const ControlKind& kind, int lines) {
    const QString text = generatedSql(lines);
    auto control = kind.create();
    CSQLColorize colorizer{platform::Services()};
    colorizer.setRtb(control.get());
    for (auto _ : state) {
        state.PauseTiming();
        colorizer.setTrapUndo(true);  // reload black text without colouring it
        control->setText(text);
        colorizer.setTrapUndo(false);
        colorizer.FullParse = true;
        state.ResumeTiming();
        colorizer.rtb_Change();
    }
}

// The caret position at the end of the middle line.
int middleLineEnd(const QString& text) {
    return int(text.indexOf(QStringLiteral("\r\n"), text.size() / 2));
}

void incrementalPass(benchmark::State& state, const ControlKind& kind, int lines) {
    auto control = kind.create();
    platform::InMemoryTimer timer;
    const AddinContext context(nullptr);
    HeadlessEditor editor(context, *control, timer);
    editor.Initialize(generatedSql(lines));
    CSQLColorize& colorizer = *editor.colorizer();
    for (auto _ : state) {
        state.PauseTiming();
        editor.buffer()->ResetUndo();
        const int caret = middleLineEnd(control->text());
        control->setSelStart(caret);
        control->setSelStart(caret);
        colorizer.NoRedraw = true;  // typed: the change waits for the colouring tick
        control->setSelText(QStringLiteral("x"));
        colorizer.NoRedraw = false;
        colorizer.FullParse = false;
        state.ResumeTiming();
        colorizer.rtb_Change();
    }
}

// Heap bytes held per undo snapshot, over 1,000 recorded one-character edits of the 500-line text.
double snapshotBytes(const ControlKind& kind, double* plainBytes) {
    auto control = kind.create();
    platform::InMemoryTimer timer;
    const AddinContext context(nullptr);
    HeadlessEditor editor(context, *control, timer);
    const QString text = generatedSql(500);
    editor.Initialize(text);
    editor.buffer()->ResetUndo();
    editor.colorizer()->NoRedraw = true;
    const int caret = middleLineEnd(text);
    // Heap in use, including the large blocks the allocator maps apart.
    const auto heapInUse = [] {
        const auto info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    const auto before = heapInUse();
    for (int i = 0; i < 1000; ++i) {
        control->setSelStart(caret);
        control->setSelText(QStringLiteral("x"));
    }
    const auto after = heapInUse();
    *plainBytes = double(text.size()) * sizeof(QChar);
    return double(after - before) / 1000.0;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

std::string benchName(const char* what, const ControlKind& kind, int lines) {
    return std::string(what) + "/" + kind.name + "/" + std::to_string(lines);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const auto kinds = controlKinds();
    for (const auto& kind : kinds) {
        for (const int lines : kSizes) {
            benchmark::RegisterBenchmark(benchName("load", kind, lines).c_str(), loadUncoloured, kind, lines)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(benchName("full", kind, lines).c_str(), fullPass, kind, lines)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(benchName("incremental", kind, lines).c_str(), incrementalPass, kind,
                                         lines)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf(
        "\nRatios (targets: full/load <= 15, incremental/full at 5000 lines <= 0.1, snapshot/text <= 3)\n");
    for (const auto& kind : kinds) {
        for (const int lines : kSizes) {
            const auto load = reporter.times.find(benchName("load", kind, lines));
            const auto full = reporter.times.find(benchName("full", kind, lines));
            const auto incremental = reporter.times.find(benchName("incremental", kind, lines));
            if (load == reporter.times.end() || full == reporter.times.end() ||
                incremental == reporter.times.end()) {
                continue;
            }
            std::printf("%-6s %5d lines: full/load %6.2f   incremental/full %6.3f\n", kind.name, lines,
                        full->second / load->second, incremental->second / full->second);
        }
        double plain = 0;
        const double snapshot = snapshotBytes(kind, &plain);
        std::printf(
            "%-6s  500 lines: %.0f bytes per undo snapshot, text %.0f bytes (UTF-16): snapshot/text %.2f\n",
            kind.name, snapshot, plain, snapshot / plain);
    }
    benchmark::Shutdown();
    return 0;
}
