// One suite that both rich-text controls must pass, so that tests written against the in-memory control
// hold for the one the user sees.
#include "RichTextHarness.h"

#include "platform/RichTextSnapshot.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <vector>

using namespace platform;
using namespace platform::testing;

namespace {

constexpr quint32 navy = 0x800000;
constexpr quint32 purple = 0x800080;
constexpr quint32 maroon = 0x000080;
constexpr quint32 black = 0;

template <typename Harness>
class RichTextConformance : public ::testing::Test {
protected:
    Harness harness;
    RichTextControl& rtb = harness.control;
    int changes = 0;
    int selChanges = 0;
    std::vector<QString> events;

    void SetUp() override {
        QObject::connect(&rtb, &RichTextControl::Change, [this] {
            ++changes;
            events.push_back(u"Change"_qs);
        });
        QObject::connect(&rtb, &RichTextControl::SelChange, [this] { ++selChanges; });
    }

    void select(int start, int length) {
        rtb.setSelStart(start);
        rtb.setSelLength(length);
    }
    void colour(int start, int length, quint32 rgb) {
        select(start, length);
        rtb.setSelColor(rgb);
    }
    quint32 colourOf(int position) {
        select(position, 1);
        return rtb.selColor();
    }
    quint32 colourAtCaret(int position) {
        select(position, 0);
        return rtb.selColor();
    }
    void resetCounts() {
        changes = 0;
        selChanges = 0;
        events.clear();
    }
};

using Implementations = ::testing::Types<MemoryHarness, QtHarness>;
TYPED_TEST_SUITE(RichTextConformance, Implementations);

TYPED_TEST(RichTextConformance, LineEndsAreCrLfAndCountTwo) {
    auto& rtb = this->rtb;
    rtb.setText(u"SELECT a\nFROM t\rWHERE x\r\n"_qs);
    EXPECT_EQ(rtb.text(), u"SELECT a\r\nFROM t\r\nWHERE x\r\n"_qs);

    this->select(10, 4);
    EXPECT_EQ(rtb.selText(), u"FROM"_qs);
    this->select(0, 100);
    EXPECT_EQ(rtb.selLength(), 27);

    // A caret between CR and LF goes back before the CR; a selection ending there takes the whole line end.
    this->select(9, 0);
    EXPECT_EQ(rtb.selStart(), 8);
    this->select(7, 2);
    EXPECT_EQ(rtb.selText(), u"a\r\n"_qs);
    this->select(9, 3);
    EXPECT_EQ(rtb.selStart(), 8);
    EXPECT_EQ(rtb.selText(), u"\r\nF"_qs);  // the length counts from where the start went

    this->select(-5, 0);
    EXPECT_EQ(rtb.selStart(), 0);
    this->select(1000, 0);
    EXPECT_EQ(rtb.selStart(), 27);
    EXPECT_EQ(rtb.selLength(), 0);
}

TYPED_TEST(RichTextConformance, SelTextReplacesSelectionAndLeavesCaretAfterIt) {
    auto& rtb = this->rtb;
    rtb.setText(u"SELECT * FROM t"_qs);
    this->select(7, 1);
    rtb.setSelText(u"a, b"_qs);
    EXPECT_EQ(rtb.text(), u"SELECT a, b FROM t"_qs);
    EXPECT_EQ(rtb.selStart(), 11);
    EXPECT_EQ(rtb.selLength(), 0);

    rtb.setSelText(u"\nWHERE\n"_qs);
    EXPECT_EQ(rtb.text(), u"SELECT a, b\r\nWHERE\r\n FROM t"_qs);
    EXPECT_EQ(rtb.selStart(), 20);

    this->select(0, 6);
    rtb.setSelText({});
    EXPECT_EQ(rtb.text(), u" a, b\r\nWHERE\r\n FROM t"_qs);
    EXPECT_EQ(rtb.selStart(), 0);

    this->select(int(rtb.text().size()), 0);
    rtb.setSelText(u"\u00e9\U0001F600"_qs);
    EXPECT_TRUE(rtb.text().endsWith(u"t\u00e9\U0001F600"_qs));
    EXPECT_EQ(rtb.selStart(), int(rtb.text().size()));
}

TYPED_TEST(RichTextConformance, SelColorIsWrittenPerSelectionAndReadAtTheCaret) {
    auto& rtb = this->rtb;
    EXPECT_EQ(rtb.selColor(), black);  // empty text
    rtb.setText(u"SELECT a\r\nFROM t\r\n\r\n{TABLE}"_qs);
    this->colour(0, 6, navy);
    this->colour(10, 4, navy);
    this->colour(20, 7, maroon);

    EXPECT_EQ(this->colourOf(0), navy);
    EXPECT_EQ(this->colourOf(5), navy);
    EXPECT_EQ(this->colourOf(6), black);
    this->select(6, 3);
    EXPECT_EQ(rtb.selColor(), black);  // the first selected character counts

    EXPECT_EQ(this->colourAtCaret(0), navy);   // start of the text: the character after
    EXPECT_EQ(this->colourAtCaret(3), navy);   // inside the word
    EXPECT_EQ(this->colourAtCaret(6), navy);   // just after the word: the character before
    EXPECT_EQ(this->colourAtCaret(7), black);  // after the blank
    EXPECT_EQ(this->colourAtCaret(8), black);  // end of a line: its last character
    EXPECT_EQ(this->colourAtCaret(10), navy);  // start of a line with text: the character after
    EXPECT_EQ(this->colourAtCaret(20), maroon);
    EXPECT_EQ(this->colourAtCaret(24), maroon);
    EXPECT_EQ(this->colourAtCaret(27), maroon);  // end of the text

    // An empty line reads the colour of the line end before it.
    this->colour(16, 2, purple);
    EXPECT_EQ(this->colourAtCaret(18), purple);

    // No selection: writing changes nothing.
    this->select(2, 0);
    rtb.setSelColor(purple);
    EXPECT_EQ(this->colourOf(2), navy);
    EXPECT_EQ(this->colourOf(1), navy);

    // Red in the low byte: values pass through unchanged.
    this->colour(7, 1, 0x0000FF);
    EXPECT_EQ(this->colourOf(7), 0x0000FFu);
    EXPECT_EQ(this->colourOf(8), black);
}

TYPED_TEST(RichTextConformance, InsertedTextTakesTheColourAtTheInsertionPoint) {
    auto& rtb = this->rtb;
    rtb.setText(u"SELECT  FROM"_qs);
    this->colour(0, 6, navy);
    this->colour(8, 4, purple);

    this->select(6, 0);
    rtb.setSelText(u"XY"_qs);
    EXPECT_EQ(this->colourOf(6), navy);
    EXPECT_EQ(this->colourOf(7), navy);
    EXPECT_EQ(this->colourOf(8), black);

    this->select(9, 0);  // after the blank
    this->harness.type(u"ab"_qs);
    EXPECT_EQ(rtb.text(), u"SELECTXY ab FROM"_qs);
    EXPECT_EQ(this->colourOf(9), black);
    EXPECT_EQ(this->colourOf(10), black);

    this->select(12, 4);  // replacing a selection takes the colour of its first character
    rtb.setSelText(u"INTO"_qs);
    EXPECT_EQ(this->colourOf(12), purple);
    EXPECT_EQ(this->colourOf(15), purple);

    rtb.setText(u"a"_qs);  // whole text written: black
    EXPECT_EQ(this->colourOf(0), black);
}

TYPED_TEST(RichTextConformance, ChangeIsRaisedOncePerChangeOfTheText) {
    auto& rtb = this->rtb;
    rtb.setText(u"SELECT"_qs);
    EXPECT_EQ(this->changes, 1);
    rtb.setText(u"SELECT"_qs);
    EXPECT_EQ(this->changes, 2);
    rtb.setText({});
    EXPECT_EQ(this->changes, 3);
    rtb.setText(u"SELECT a FROM t"_qs);
    this->resetCounts();

    this->select(7, 1);
    EXPECT_EQ(this->changes, 0);
    rtb.setSelColor(navy);
    EXPECT_EQ(this->changes, 0);
    rtb.setSelText(u"b"_qs);
    EXPECT_EQ(this->changes, 1);
    rtb.setSelText({});  // nothing selected, nothing inserted
    EXPECT_EQ(this->changes, 1);
    this->select(0, 7);
    rtb.setSelText(u"SELECT\r\n"_qs);
    EXPECT_EQ(this->changes, 2);

    this->resetCounts();
    this->select(int(rtb.text().size()), 0);
    this->harness.type(u"ab\r"_qs);
    EXPECT_EQ(this->changes, 3);
    EXPECT_TRUE(rtb.text().endsWith(u"ab\r\n"_qs));

    this->resetCounts();
    const QByteArray snapshot = rtb.textRTF();
    EXPECT_EQ(this->changes, 0);
    rtb.setTextRTF(snapshot);
    EXPECT_EQ(this->changes, 1);
    rtb.setTextRTF(QByteArray("\xC0QRT\x01\x05", 6));  // damaged: ignored
    EXPECT_EQ(this->changes, 1);
}

TYPED_TEST(RichTextConformance, SelChangeFollowsTheSelection) {
    auto& rtb = this->rtb;
    rtb.setText(u"SELECT a FROM t"_qs);
    this->resetCounts();
    rtb.setSelStart(3);
    EXPECT_EQ(this->selChanges, 1);
    rtb.setSelStart(3);
    EXPECT_EQ(this->selChanges, 1);
    rtb.setSelLength(2);
    EXPECT_EQ(this->selChanges, 2);
    rtb.setSelColor(navy);
    EXPECT_EQ(this->selChanges, 2);
    rtb.setSelText(u"x"_qs);
    EXPECT_EQ(this->selChanges, 3);
    EXPECT_EQ(this->events.back(), u"Change"_qs);
    rtb.setText(u"abc"_qs);  // caret to 0
    EXPECT_EQ(rtb.selStart(), 0);
    EXPECT_EQ(this->selChanges, 4);
}

TYPED_TEST(RichTextConformance, TextRTFRestoresTextAndColours) {
    auto& rtb = this->rtb;
    QString text;
    for (int line = 0; line < 40; ++line)
        text += u"SELECT [Field %1], Count(*) FROM {TABLE} WHERE x = 'a'\r\n"_qs.arg(line);
    rtb.setText(text);
    std::vector<quint32> expected(std::size_t(text.size()), black);
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i) {
        const int start = int(random.bounded(text.size()));
        const int length = int(random.bounded(12)) + 1;
        const quint32 rgb = random.bounded(4) * 0x400040u;
        this->colour(start, length, rgb);
        for (int p = this->rtb.selStart(); p < this->rtb.selStart() + this->rtb.selLength(); ++p)
            expected[std::size_t(p)] = rgb;
    }
    this->select(33, 4);
    const QByteArray snapshot = rtb.textRTF();

    rtb.setText(u"something else"_qs);
    rtb.setTextRTF(snapshot);
    EXPECT_EQ(rtb.text(), text);
    EXPECT_EQ(rtb.selStart(), 0);
    EXPECT_EQ(rtb.textRTF(), snapshot);
    for (int p = 0; p < text.size(); ++p) {
        if (text[p] != u'\r' && text[p] != u'\n') {  // a line end's halves are only coloured together
            ASSERT_EQ(this->colourOf(p), expected[std::size_t(p)]) << "at " << p;
        }
    }
}

TYPED_TEST(RichTextConformance, TextRTFTakesPlainTextAndIgnoresDamagedSnapshots) {
    auto& rtb = this->rtb;
    rtb.setTextRTF(QByteArray("SELECT 1\nFROM t"));
    EXPECT_EQ(rtb.text(), u"SELECT 1\r\nFROM t"_qs);
    EXPECT_EQ(this->changes, 1);

    rtb.setText(u"keep me"_qs);
    this->colour(0, 4, navy);
    QByteArray snapshot = rtb.textRTF();
    this->resetCounts();
    for (qsizetype cut = 5; cut < snapshot.size(); ++cut)
        rtb.setTextRTF(snapshot.left(cut));
    QByteArray wrongVersion = snapshot;
    wrongVersion[4] = 9;
    rtb.setTextRTF(wrongVersion);
    EXPECT_EQ(this->changes, 0);
    EXPECT_EQ(rtb.text(), u"keep me"_qs);
    EXPECT_EQ(this->colourOf(0), navy);
}

TYPED_TEST(RichTextConformance, RedrawScrollAndVisibility) {
    auto& rtb = this->rtb;
    EXPECT_TRUE(rtb.redraw());
    rtb.setRedraw(false);
    EXPECT_FALSE(rtb.redraw());
    rtb.setText(u"changed while not drawing"_qs);
    EXPECT_EQ(this->changes, 1);
    rtb.setRedraw(true);
    EXPECT_TRUE(rtb.redraw());

    QString text;
    for (int line = 0; line < 500; ++line)
        text += u"line %1\r\n"_qs.arg(line);
    rtb.setText(text);
    EXPECT_EQ(rtb.scrollPosition(), 0);
    rtb.setScrollPosition(40);
    EXPECT_EQ(rtb.scrollPosition(), 40);
    rtb.setScrollPosition(-3);
    EXPECT_EQ(rtb.scrollPosition(), 0);
    rtb.setScrollPosition(40);
    rtb.setRedraw(false);
    this->colour(100, 20, navy);
    rtb.setRedraw(true);
    rtb.setScrollPosition(40);
    EXPECT_EQ(rtb.scrollPosition(), 40);

    rtb.setVisible(false);
    EXPECT_FALSE(rtb.visible());
    rtb.setVisible(true);
    EXPECT_TRUE(rtb.visible());
    rtb.lockWindowUpdate(true);
    rtb.lockWindowUpdate(false);
    rtb.refresh();
}

TYPED_TEST(RichTextConformance, CharFromPosFindsTheNearestCharacter) {
    auto& rtb = this->rtb;
    rtb.setText(u"SELECT a\r\nFROM t"_qs);
    EXPECT_EQ(rtb.charFromPos(QPoint(0, 0)), 0);
    EXPECT_EQ(rtb.charFromPos(QPoint(5000, 0)), 8);      // past the end of line 1: before its CR
    EXPECT_EQ(rtb.charFromPos(QPoint(5000, 5000)), 16);  // below the last line: the end of the text
    EXPECT_EQ(rtb.charFromPos(QPoint(0, 5000)), 16);
    EXPECT_EQ(rtb.charFromPos(QPoint(-20, -20)), 0);
}

TYPED_TEST(RichTextConformance, KeyEventsCarryHostCodesAndCanBeSwallowed) {
    auto& rtb = this->rtb;
    std::vector<std::pair<int, int>> downs;
    std::vector<int> presses;
    std::vector<QString> order;
    QObject::connect(&rtb, &RichTextControl::KeyDown, [&](int* code, int shift) {
        if (*code == vk::shift || *code == vk::control || *code == vk::menu)
            return;  // a real keyboard (and QTest) presses the modifier keys first
        downs.emplace_back(*code, shift);
        order.push_back(u"KeyDown"_qs);
        if (*code == 86 && (shift & vbCtrlMask))
            *code = 0;  // as the undo buffer takes over Ctrl+V
    });
    QObject::connect(&rtb, &RichTextControl::KeyPress, [&](int* keyAscii) {
        presses.push_back(*keyAscii);
        order.push_back(u"KeyPress"_qs);
        if (*keyAscii == 'x')
            *keyAscii = 0;
        if (*keyAscii == 'q')
            *keyAscii = 'Q';
        if (*keyAscii == 9) {  // as the colouriser turns Tab into one tab character
            *keyAscii = 0;
            rtb.setSelText(u"\t"_qs);
        }
    });
    QObject::connect(&rtb, &RichTextControl::KeyUp, [&](int*, int) { order.push_back(u"KeyUp"_qs); });
    QObject::connect(&rtb, &RichTextControl::Change, [&] { order.push_back(u"Change"_qs); });

    this->harness.type(u"a"_qs);
    EXPECT_EQ(order, (std::vector<QString>{u"KeyDown"_qs, u"KeyPress"_qs, u"Change"_qs, u"KeyUp"_qs}));
    this->harness.type(u"xB\t\u00e9"_qs);
    EXPECT_EQ(rtb.text(), u"aB\t\u00e9"_qs);
    EXPECT_EQ(presses, (std::vector<int>{'a', 'x', 'B', 9, 0xE9}));
    ASSERT_EQ(downs.size(), 5u);
    EXPECT_EQ(downs[1], std::make_pair(88, 0));
    EXPECT_EQ(downs[2], std::make_pair(66, vbShiftMask));
    EXPECT_EQ(downs[3], std::make_pair(9, 0));
    EXPECT_EQ(downs[4], std::make_pair(vk::packet, 0));
    this->harness.type(u"q"_qs);
    EXPECT_EQ(rtb.text(), u"aB\t\u00e9Q"_qs);

    downs.clear();
    this->harness.press(Qt::Key_V, Qt::ControlModifier);
    this->harness.press(Qt::Key_F3);
    this->harness.press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(rtb.text(), u"aB\t\u00e9Q"_qs);
    EXPECT_EQ(downs, (std::vector<std::pair<int, int>>{{86, 2}, {114, 0}, {90, 3}}));
}

}  // namespace

namespace {

// Both controls take the same random edits and must end every step in the same state, colours included.
TEST(RichTextControls, AgreeOnRandomEdits) {
    MemoryHarness memory;
    QtHarness qt;
    RichTextControl* controls[] = {&memory.control, &qt.control};
    int changes[2] = {0, 0};
    int selChanges[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        QObject::connect(controls[i], &RichTextControl::Change, [&changes, i] { ++changes[i]; });
        QObject::connect(controls[i], &RichTextControl::SelChange, [&selChanges, i] { ++selChanges[i]; });
    }
    const QString pieces[] = {u"SELECT"_qs, u" "_qs,       u"\r\n"_qs,  u"x"_qs,
                              u""_qs,       u"a\nb\rc"_qs, u"\u00e9"_qs};
    const QString typed[] = {u"a"_qs, u"Z"_qs, u"\r"_qs, u"\b"_qs, u"("_qs, u" "_qs, u"\u00e9"_qs};
    QRandomGenerator random(99);
    for (int step = 0; step < 1500; ++step) {
        const auto operation = random.bounded(10);
        const int size = int(memory.control.text().size());
        const int start = int(random.bounded(size + 2)) - 1;
        // Edits mostly insert, so that the text grows.
        const int length = operation < 4 ? int(random.bounded(14)) - 1 : int(random.bounded(6)) - 3;
        if (random.bounded(8) == 0) {  // the Qt control batches its work while drawing is off
            const bool on = !memory.control.redraw();
            for (RichTextControl* control : controls)
                control->setRedraw(on);
        }
        for (RichTextControl* control : controls) {
            control->setSelStart(start);
            control->setSelLength(length);
        }
        const quint32 rgb = random.bounded(4) * 0x400040u;
        const QString piece = pieces[random.bounded(7)];
        const QString keys = typed[random.bounded(7)];
        for (RichTextControl* control : controls) {
            if (operation < 4) {
                control->setSelColor(rgb);
            } else if (operation < 7) {
                control->setSelText(piece);
            } else if (operation < 9) {
                if (control == &memory.control)
                    memory.type(keys);
                else
                    qt.type(keys);
            } else {
                const QByteArray snapshot = control->textRTF();
                control->setText(u"x"_qs);
                control->setTextRTF(snapshot);
            }
        }
        ASSERT_EQ(qt.control.text(), memory.control.text()) << "step " << step;
        ASSERT_EQ(qt.control.selStart(), memory.control.selStart()) << "step " << step;
        ASSERT_EQ(qt.control.selLength(), memory.control.selLength()) << "step " << step;
        ASSERT_EQ(qt.control.selColor(), memory.control.selColor()) << "step " << step;
        ASSERT_EQ(qt.control.textRTF(), memory.control.textRTF()) << "step " << step;
        ASSERT_EQ(changes[1], changes[0]) << "step " << step;
        ASSERT_EQ(selChanges[1], selChanges[0]) << "step " << step;
    }
    // The walk must have reached a text of some size and colour.
    const auto final = RichTextSnapshot::decode(memory.control.textRTF());
    ASSERT_TRUE(final);
    EXPECT_GT(final->text.count(u"\r\n"_qs), 5);
    EXPECT_GT(final->runs.size(), 10);
    EXPECT_GT(changes[0], 500);
}

}  // namespace
