// The undo buffer's history states, its toolbar buttons and Dirty, and its keys, on both controls.
#include "ControlHarness.h"

#include "common/RecordingPrompter.h"
#include "hostapi/host.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr int kKeyV = 'V';
constexpr int kKeyY = 'Y';
constexpr int kKeyZ = 'Z';

class UndoTest : public EditorTest {
protected:
    void load(const QString& text) {
        editor.Initialize(text);
        timer.fire();
    }
    bool enabled(const char* key) const { return editor.toolbarButtonEnabled(QString::fromLatin1(key)); }
    std::size_t undoCount() { return buffer().UndoList().size(); }
    std::size_t redoCount() { return buffer().RedoList().size(); }
    void ctrl(int key) { harness->pressKey(key, platform::vbCtrlMask); }
};

}  // namespace

TEST_P(UndoTest, AfterInitNothingCanBeUndone) {
    load(QStringLiteral("SELECT a FROM t"));
    EXPECT_EQ(undoCount(), 1u);
    EXPECT_EQ(redoCount(), 0u);
    EXPECT_FALSE(enabled("Undo"));
    EXPECT_FALSE(enabled("Redo"));
    EXPECT_FALSE(enabled("Save"));
    EXPECT_FALSE(buffer().Dirty());

    ctrl(kKeyZ);
    EXPECT_EQ(rtb().text(), QStringLiteral("SELECT a FROM t"));
    EXPECT_FALSE(enabled("Undo"));
    EXPECT_EQ(undoCount(), 1u);
}

TEST_P(UndoTest, UndoOfOneCharacterRestoresTheLoadedState) {
    load(QStringLiteral("SELECT a FROM t"));
    rtb().setSelStart(8);
    harness->type(QStringLiteral("b"));
    EXPECT_EQ(undoCount(), 2u);
    EXPECT_TRUE(enabled("Undo"));
    EXPECT_TRUE(enabled("Save"));
    EXPECT_TRUE(buffer().Dirty());
    EXPECT_EQ(editor.PreviousText(), QStringLiteral("SELECT a FROM t"));

    ctrl(kKeyZ);
    EXPECT_EQ(rtb().text(), QStringLiteral("SELECT a FROM t"));
    EXPECT_EQ(rtb().selStart(), 8);
    EXPECT_FALSE(enabled("Undo"));
    EXPECT_FALSE(enabled("Save"));
    EXPECT_TRUE(enabled("Redo"));
    EXPECT_FALSE(buffer().Dirty());
    EXPECT_EQ(undoCount(), 1u);
    EXPECT_EQ(redoCount(), 1u);
    // While something can be redone, the text before the change is the redo entry's.
    EXPECT_EQ(editor.PreviousText(), QStringLiteral("SELECT ab FROM t"));

    ctrl(kKeyY);
    EXPECT_EQ(rtb().text(), QStringLiteral("SELECT ab FROM t"));
    EXPECT_EQ(undoCount(), 2u);
    EXPECT_EQ(redoCount(), 0u);
    EXPECT_TRUE(enabled("Undo"));
    EXPECT_FALSE(enabled("Redo"));
}

TEST_P(UndoTest, TypingAfterUndoEmptiesTheRedoList) {
    load(QStringLiteral("x"));
    rtb().setSelStart(1);
    harness->type(QStringLiteral("yz"));
    buffer().Undo();
    EXPECT_EQ(redoCount(), 1u);
    harness->type(QStringLiteral("w"));
    EXPECT_EQ(redoCount(), 0u);
    EXPECT_FALSE(enabled("Redo"));
    EXPECT_EQ(undoCount(), 3u);
    // Nothing to redo: Redo changes nothing.
    buffer().Redo();
    EXPECT_EQ(rtb().text(), QStringLiteral("xyw"));
}

TEST_P(UndoTest, UndoAtTheEndPutsTheCaretAtTheEndOfTheShorterText) {
    load(QStringLiteral("SELECT"));
    rtb().setSelStart(6);
    harness->type(QStringLiteral(" *"));
    buffer().Undo();
    EXPECT_EQ(rtb().text(), QStringLiteral("SELECT "));
    EXPECT_EQ(rtb().selStart(), 7);
    buffer().Undo();
    EXPECT_EQ(rtb().selStart(), 6);
}

TEST_P(UndoTest, UndoRestoresColoursWithTheText) {
    load(QStringLiteral("SELECT"));
    ASSERT_EQ(harness->colourAt(0), 0x800000u);
    rtb().setSelStart(0);
    rtb().setSelLength(6);
    harness->type(QStringLiteral("x"));
    buffer().Undo();
    EXPECT_EQ(harness->colourAt(0), 0x800000u);
    EXPECT_EQ(harness->colourAt(5), 0x800000u);
}

TEST_P(UndoTest, LoadingAndColouringCreateNoEntries) {
    load(QStringLiteral("SELECT a\r\nFROM (t"));
    EXPECT_EQ(undoCount(), 1u);
    rtb().setSelStart(int(rtb().text().size()));
    harness->type(QStringLiteral(")"));
    timer.fire();  // the colouring pass after the pause
    EXPECT_EQ(undoCount(), 2u);
}

TEST_P(UndoTest, CtrlVPastesPlainTextInTwoRecordedSteps) {
    load(QStringLiteral("SELECT a FROM t"));
    editor.setClipboardText(QStringLiteral("b, c"));
    rtb().setSelStart(7);
    rtb().setSelLength(1);
    ctrl(kKeyV);
    EXPECT_EQ(rtb().text(), QStringLiteral("SELECT b, c FROM t"));
    EXPECT_EQ(undoCount(), 3u);
    EXPECT_EQ(buffer().UndoList()[1].Text, QStringLiteral("SELECT  FROM t"));
    // The pasted text has the colour at the caret, not any of its own.
    EXPECT_EQ(harness->colourAt(7), harness->colourAt(6));

    // Without a selection only the insertion changes the text.
    rtb().setSelStart(0);
    ctrl(kKeyV);
    EXPECT_EQ(undoCount(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Controls, UndoTest, kAllControls, kindName);

TEST(CRichTextBox, FirstDifferenceIsACharacterPosition) {
    EXPECT_EQ(CRichTextBox::FirstDifference(QString(), QStringLiteral("abc")), 0);
    EXPECT_EQ(CRichTextBox::FirstDifference(QStringLiteral("abc"), QString()), 0);
    EXPECT_EQ(CRichTextBox::FirstDifference(QStringLiteral("abc"), QStringLiteral("abd")), 2);
    EXPECT_EQ(CRichTextBox::FirstDifference(QStringLiteral("abc"), QStringLiteral("abcdef")), 3);
    EXPECT_EQ(CRichTextBox::FirstDifference(QStringLiteral("abc"), QStringLiteral("abc")), 3);
    EXPECT_EQ(CRichTextBox::FirstDifference(QStringLiteral("Größe"), QStringLiteral("Grüße")), 2);
}

namespace {

// Refuses one restore of a snapshot.
class FailingControl : public platform::InMemoryRichTextControl {
public:
    void setTextRTF(const QByteArray& rtf) override {
        if (failNext) {
            failNext = false;
            throw host::Error(5, QStringLiteral("restore refused"), QStringLiteral("test"));
        }
        InMemoryRichTextControl::setTextRTF(rtf);
    }
    bool failNext = false;
};

}  // namespace

TEST(CRichTextBox, AFailedUndoLeavesTheWindowRecording) {
    RecordingPrompter prompter;
    platform::Services services;
    services.prompter = &prompter;
    const AddinContext context(nullptr, services);

    FailingControl control;
    platform::InMemoryTimer timer;
    HeadlessEditor editor(context, control, timer);
    editor.Initialize(QStringLiteral("a"));
    control.setSelStart(1);
    control.typeText(QStringLiteral("b"));
    control.failNext = true;
    editor.buffer()->Undo();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].contains(QStringLiteral("CRichTextBox.Undo")));
    EXPECT_FALSE(control.windowLocked());
    EXPECT_TRUE(editor.buffer()->TrapUndo());

    control.typeText(QStringLiteral("c"));
    EXPECT_EQ(editor.buffer()->UndoList().size(), 3u);
    editor.buffer()->Undo();
    EXPECT_EQ(control.text(), QStringLiteral("ab"));
}
