// The desktop SQL editor window on a 500-line query: the time from one keystroke in the text box to the
// text coloured again (the colouring pause set to zero, so only the work is measured), against loading the
// query's text into the window (which colours it all). Prints the ratio measured in this run.
#include "catalogue/AddinContext.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/QtRichTextControl.h"
#include "plavo/EditorWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kLines = 500;
const QString kQuery = QStringLiteral("Long Query");

QString queryText() {
    QString text = QStringLiteral(
        "SELECT Orders.OrderID, Customers.CompanyName, Sum([Order Details].Quantity) AS Items\r\n");
    text +=
        QStringLiteral("FROM Orders INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID\r\n");
    for (int line = 2; line < kLines - 1; ++line) {
        text +=
            QStringLiteral(
                "  OR (Orders.OrderID = %1 AND [Customers].[City] Like 'C%1*' AND Len(Orders.Note) > %1)\r\n")
                .arg(line);
    }
    text += QStringLiteral("GROUP BY Orders.OrderID, Customers.CompanyName;");
    return text;
}

// One editor window over a database that holds the query.
class Editor {
public:
    Editor() {
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("bench.qdb")));
        database->createQueryDef(kQuery, QStringLiteral("SELECT 1;"));
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        context = std::make_shared<AddinContext>(application.get());
        window = std::make_unique<EditorWindow>(*context, nullptr);
        window->logic().setColouringDelay(0);
        window->resize(900, 700);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~Editor() { window.reset(); }

    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    std::shared_ptr<AddinContext> context;
    std::unique_ptr<EditorWindow> window;
};

void loadText(benchmark::State& state) {
    Editor editor;
    const QString text = queryText();
    for (auto _ : state) {
        if (!editor.window->logic().Initialize(kQuery, text)) {
            state.SkipWithError("the editor did not load");
            return;
        }
    }
}

void keystrokeToColour(benchmark::State& state) {
    Editor editor;
    frmEditor& logic = editor.window->logic();
    logic.Initialize(kQuery, queryText());
    QTextEdit* box = editor.window->textBox();
    box->setFocus();
    // The caret in the middle of the text, inside a word.
    platform::QtRichTextControl& rtb = editor.window->control();
    rtb.setSelStart(int(rtb.text().indexOf(QStringLiteral("Orders.Note"), rtb.text().size() / 2)) + 3);
    for (auto _ : state) {
        QTest::keyClick(box, Qt::Key_X);
        // The key press deferred the colouring; the timer's tick colours, then clears the flag.
        while (logic.colorizer()->NoRedraw) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("editor/load/500", loadText)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("editor/keystroke/500", keystrokeToColour)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto load = reporter.times.find("editor/load/500/real_time");
    const auto key = reporter.times.find("editor/keystroke/500/real_time");
    if (load != reporter.times.end() && key != reporter.times.end() && load->second > 0) {
        std::printf(
            "\nkeystroke to coloured text / loading the text, 500 lines (target: at most 0.5) = %.3f\n",
            key->second / load->second);
    }
    return 0;
}
