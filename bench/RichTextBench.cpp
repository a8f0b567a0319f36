// Loading and colouring a large SQL text in both rich-text controls, token by token as the colouriser
// does, and the undo snapshot of the result.
#include "platform/InMemoryRichTextControl.h"
#include "platform/QtRichTextControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using namespace platform;

QString sqlText(int lines) {
    QString text;
    for (int line = 0; line < lines; ++line)
        text += u"SELECT Orders.OrderID, Count(*) AS N FROM Orders WHERE Id = %1\r\n"_qs.arg(line);
    return text;
}

void colourTokens(RichTextControl& rtb, const QString& text) {
    rtb.setRedraw(false);
    qsizetype start = 0;
    int token = 0;
    for (qsizetype p = 0; p <= text.size(); ++p) {
        if (p == text.size() || !text[p].isLetterOrNumber()) {
            if (p > start) {
                rtb.setSelStart(int(start));
                rtb.setSelLength(int(p - start));
                rtb.setSelColor(++token % 3 == 0 ? 0x800000 : 0x808080);
            }
            start = p + 1;
        }
    }
    rtb.setRedraw(true);
}

template <typename Control>
std::unique_ptr<Control> makeControl() {
    auto control = std::make_unique<Control>();
    if constexpr (std::is_same_v<Control, QtRichTextControl>) {
        control->widget()->resize(800, 600);
        control->widget()->show();
    }
    return control;
}

template <typename Control>
void loadAndColour(benchmark::State& state) {
    const QString text = sqlText(int(state.range(0)));
    auto rtb = makeControl<Control>();
    for (auto _ : state) {
        rtb->setText(text);
        colourTokens(*rtb, text);
    }
}

// Taking a snapshot runs on every recorded change; restoring one on every undo step.
template <typename Control>
void takeSnapshot(benchmark::State& state) {
    const QString text = sqlText(int(state.range(0)));
    auto rtb = makeControl<Control>();
    rtb->setText(text);
    colourTokens(*rtb, text);
    for (auto _ : state)
        benchmark::DoNotOptimize(rtb->textRTF().size());
}

template <typename Control>
void restoreSnapshot(benchmark::State& state) {
    const QString text = sqlText(int(state.range(0)));
    auto rtb = makeControl<Control>();
    rtb->setText(text);
    colourTokens(*rtb, text);
    const QByteArray snapshot = rtb->textRTF();
    for (auto _ : state)
        rtb->setTextRTF(snapshot);
}

BENCHMARK(loadAndColour<InMemoryRichTextControl>)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadAndColour<QtRichTextControl>)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(takeSnapshot<InMemoryRichTextControl>)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(takeSnapshot<QtRichTextControl>)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(restoreSnapshot<InMemoryRichTextControl>)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(restoreSnapshot<QtRichTextControl>)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

template <typename Control>
double colourMilliseconds(const QString& text) {
    auto rtb = makeControl<Control>();
    QElapsedTimer timer;
    timer.start();
    rtb->setText(text);
    colourTokens(*rtb, text);
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const QString text = sqlText(5000);
    const double memory = colourMilliseconds<InMemoryRichTextControl>(text);
    const double qt = colourMilliseconds<QtRichTextControl>(text);
    InMemoryRichTextControl rtb;
    rtb.setText(text);
    colourTokens(rtb, text);
    std::printf("load and colour 5000 lines: Qt control / in-memory control = %.1f\n", qt / memory);
    std::printf("snapshot of 5000 coloured lines / its UTF-8 text = %.2f\n",
                double(rtb.textRTF().size()) / double(text.toUtf8().size()));
    return 0;
}
