// The colouriser on a rich-text control, through the editor that owns it: reference files of colour runs,
// deferred colouring while typing, the range of an incremental pass, and the suspension flag.
#include "../editor/ControlHarness.h"

#include "common/QorvelProcess.h"
#include "common/RecordingPrompter.h"
#include "common/TextFiles.h"
#include "hostapi/host.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr quint32 kNavy = 0x800000;
constexpr quint32 kPurple = 0x800080;
constexpr quint32 kBlack = 0;
constexpr quint32 kRed = 0x0000FF;
constexpr quint32 kGreen = 0x00C000;  // never used by the colouriser

// The `qorvel colour` format: start, length and R,G,B of each maximal run of one colour.
QString formatRuns(const QList<platform::ColourRun>& runs) {
    QString result;
    QList<platform::ColourRun> merged;
    for (const auto& run : runs) {
        if (!merged.isEmpty() && merged.last().colour == run.colour) {
            merged.last().length += run.length;
        } else {
            merged.append(run);
        }
    }
    for (const auto& run : merged) {
        result += QStringLiteral("%1\t%2\t%3,%4,%5\n")
                      .arg(run.start)
                      .arg(run.length)
                      .arg(run.colour & 0xFF)
                      .arg((run.colour >> 8) & 0xFF)
                      .arg((run.colour >> 16) & 0xFF);
    }
    return result;
}

QStringList referenceFiles() {
    return QDir(QStringLiteral(QORVEL_TEST_DATA_DIR))
        .entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
}

class ColouringTest : public EditorTest {
protected:
    void load(const QString& text) {
        editor.Initialize(text);
        timer.fire();  // the first tick after load
    }
    void paint(int start, int length, quint32 colour) {
        rtb().setSelStart(start);
        rtb().setSelLength(length);
        rtb().setSelColor(colour);
    }
    // The positions coloured red, in order.
    std::vector<int> redPositions() {
        std::vector<int> positions;
        for (int i = 0; i < rtb().text().size(); ++i) {
            if (harness->colourAt(i) == kRed) {
                positions.push_back(i);
            }
        }
        return positions;
    }
};

}  // namespace

TEST_P(ColouringTest, ReferenceFilesGiveTheirColourRuns) {
    const QStringList files = referenceFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        const QString base = QStringLiteral(QORVEL_TEST_DATA_DIR "/") + file.chopped(4);
        load(readTextFile(base + QStringLiteral(".sql")));
        EXPECT_EQ(formatRuns(harness->colourRuns()).toStdString(),
                  readTextFile(base + QStringLiteral(".runs")).toStdString())
            << "reference " << file.toStdString();
    }
}

TEST_P(ColouringTest, TypingIsColouredAfterThePause) {
    load(QString());
    std::vector<bool> changes;
    QObject::connect(&colorizer(), &CSQLColorize::Change,
                     [&](bool deferred) { changes.push_back(deferred); });
    harness->type(QStringLiteral("select a from t where x Like 'y'"));
    EXPECT_EQ(harness->colourAt(0), kBlack);
    ASSERT_FALSE(changes.empty());
    EXPECT_TRUE(std::all_of(changes.begin(), changes.end(), [](bool deferred) { return deferred; }));

    pause();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(changes.back(), false);
    EXPECT_EQ(harness->colourAt(0), kNavy);  // select
    EXPECT_EQ(harness->colourAt(int(rtb().text().indexOf("from"))), kNavy);
    EXPECT_EQ(harness->colourAt(int(rtb().text().indexOf("Like"))), kPurple);
    // The caret stays where the typing left it.
    EXPECT_EQ(rtb().selStart(), rtb().text().size());
    EXPECT_EQ(rtb().selLength(), 0);
}

TEST_P(ColouringTest, TabKeyInsertsOneTabCharacter) {
    load(QStringLiteral("a"));
    rtb().setSelStart(1);
    harness->type(QStringLiteral("\tb"));
    EXPECT_EQ(rtb().text(), QStringLiteral("a\tb"));
    EXPECT_TRUE(colorizer().NoRedraw);
    EXPECT_TRUE(timer.isActive());
}

TEST_P(ColouringTest, AnEditWithinOneLineColoursOnlyThatLine) {
    load(QStringLiteral("SELECT a\r\nFROM t\r\nWHERE b"));
    paint(0, 6, kGreen);
    rtb().setSelStart(int(rtb().text().indexOf("FROM")) + 6);  // end of line 2
    harness->type(QStringLiteral(" IN"));
    pause();
    EXPECT_EQ(harness->colourAt(0), kGreen);  // line 1 was left alone
    EXPECT_EQ(harness->colourAt(int(rtb().text().indexOf("IN"))), kNavy);
}

TEST_P(ColouringTest, AnEditAcrossLinesColoursTheWholeText) {
    load(QStringLiteral("SELECT a\r\nFROM t\r\nWHERE b"));
    paint(0, 6, kGreen);
    rtb().setSelStart(int(rtb().text().indexOf("FROM")));
    rtb().setSelLength(6);
    editor.setClipboardText(QStringLiteral("FROM u\r\nORDER BY"));
    harness->pressKey('V', platform::vbCtrlMask);
    EXPECT_EQ(harness->colourAt(0), kNavy);
    EXPECT_EQ(harness->colourAt(int(rtb().text().indexOf("ORDER"))), kNavy);
}

TEST_P(ColouringTest, AnEditAtTheVeryEndColoursTheWholeText) {
    load(QStringLiteral("SELECT a\r\nFROM t"));
    paint(0, 6, kGreen);
    rtb().setSelStart(int(rtb().text().size()));
    harness->type(QStringLiteral(" WHERE"));
    pause();
    EXPECT_EQ(harness->colourAt(0), kNavy);
    EXPECT_EQ(harness->colourAt(int(rtb().text().indexOf("WHERE")) + 4), kNavy);
}

TEST_P(ColouringTest, ColouringIsNeverAnUndoStep) {
    load(QStringLiteral("select"));
    EXPECT_EQ(buffer().UndoList().size(), 1u);
    rtb().setSelStart(6);
    harness->type(QStringLiteral(" a"));
    EXPECT_EQ(buffer().UndoList().size(), 3u);
    std::vector<bool> trapDuringPass;
    QObject::connect(&rtb(), &platform::RichTextControl::SelChange,
                     [&] { trapDuringPass.push_back(colorizer().TrapUndo()); });
    pause();
    EXPECT_EQ(buffer().UndoList().size(), 3u);
    ASSERT_FALSE(trapDuringPass.empty());
    EXPECT_TRUE(std::none_of(trapDuringPass.begin(), trapDuringPass.end(), [](bool trap) { return trap; }));
    EXPECT_TRUE(colorizer().TrapUndo());
}

TEST_P(ColouringTest, SuspendedColouringLeavesChangesUncolouredUntilRefresh) {
    load(QString());
    colorizer().setTrapUndo(true);
    EXPECT_FALSE(colorizer().TrapUndo());
    rtb().setSelText(QStringLiteral("SELECT {table1}"));
    EXPECT_EQ(harness->colourAt(0), kBlack);
    EXPECT_EQ(buffer().UndoList().size(), 1u);  // nor recorded while suspended

    colorizer().setTrapUndo(false);
    rtb().setSelStart(3);
    colorizer().HighlightRefresh();
    EXPECT_EQ(harness->colourAt(0), kNavy);
    EXPECT_EQ(harness->colourAt(8), 0x000080u);  // maroon placeholder
    EXPECT_EQ(rtb().selStart(), 3);
}

TEST_P(ColouringTest, APartlyColouredTokenIsColouredWhole) {
    load(QStringLiteral("SELECT a"));
    paint(3, 2, kGreen);
    paint(0, 1, kBlack);
    colorizer().HighlightRefresh();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(harness->colourAt(i), kNavy) << "position " << i;
    }
}

TEST_P(ColouringTest, UnmatchedBracketsAreRed) {
    struct Case {
        const char* text;
        std::vector<int> red;
    };
    const Case cases[] = {
        {"((a)", {0}},
        {"(a))", {3}},
        {"(a ')'", {0}},
        // The opener search ignores quotes.
        {"x '(' (y", {3}},
        {"[a", {0}},
        {"a]", {1}},
        {"[a]]", {3}},
        {"\"[\" (", {4}},
        {"[(] (x)", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        load(QString::fromUtf8(c.text));
        EXPECT_EQ(redPositions(), c.red) << "text: " << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Controls, ColouringTest, kAllControls, kindName);

namespace {

// Fails once at the vertical scroll position, in the middle of a pass.
class FailingControl : public platform::InMemoryRichTextControl {
public:
    int scrollPosition() const override {
        if (failNext) {
            failNext = false;
            throw host::Error(5, QStringLiteral("scroll position unavailable"), QStringLiteral("test"));
        }
        return InMemoryRichTextControl::scrollPosition();
    }
    mutable bool failNext = false;
};

}  // namespace

TEST(CSQLColorize, AFailedPassIsReportedAndLaterChangesAreColouredAgain) {
    RecordingPrompter prompter;
    platform::Services services;
    services.prompter = &prompter;
    const AddinContext context(nullptr, services);

    FailingControl control;
    platform::InMemoryTimer timer;
    HeadlessEditor editor(context, control, timer);
    editor.Initialize(QString());
    control.failNext = true;
    control.setText(QStringLiteral("SELECT"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].contains(QStringLiteral("CSQLColorize.rtb_Change")));
    EXPECT_TRUE(control.redraw());
    EXPECT_TRUE(editor.colorizer()->TrapUndo());

    control.setText(QStringLiteral("SELECT"));
    EXPECT_EQ(control.colourAt(0), kNavy);
}

TEST(ColourCommand, PrintsTheRunsOfAFileWithLfLineEnds) {
    const QString base = QStringLiteral(QORVEL_TEST_DATA_DIR "/lf_line_ends");
    const QorvelRun runs = runQorvel({QStringLiteral("colour"), base + QStringLiteral(".sql")});
    EXPECT_EQ(runs.exitCode, 0);
    EXPECT_EQ(runs.outText().toStdString(), readTextFile(base + QStringLiteral(".runs")).toStdString());

    const QString ansi =
        runQorvel({QStringLiteral("colour"), base + QStringLiteral(".sql"), QStringLiteral("--ansi")})
            .outText();
    EXPECT_TRUE(ansi.startsWith(QStringLiteral("\x1b[38;2;0;0;128mSELECT")));
    EXPECT_TRUE(ansi.contains(QStringLiteral("\n\x1b[38;2;0;0;128mFROM")));

    EXPECT_EQ(runQorvel({QStringLiteral("colour"), base + QStringLiteral(".missing")}).exitCode, 2);
    EXPECT_EQ(runQorvel({QStringLiteral("colour")}).exitCode, 2);
}
