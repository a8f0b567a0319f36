// What only the Qt control has to get right: its widget, the real keyboard and mouse, the clipboard, drops.
#include "RichTextHarness.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace platform;
using namespace platform::testing;

namespace {

class QtRichTextControlTest : public ::testing::Test {
protected:
    QtHarness harness;
    QtRichTextControl& rtb = harness.control;
    QTextEdit* widget = harness.control.widget();
    int changes = 0;

    void SetUp() override {
        QObject::connect(&rtb, &RichTextControl::Change, [this] { ++changes; });
    }
};

TEST_F(QtRichTextControlTest, MapsHostPositionsInALongText) {
    QString text;
    for (int line = 0; line < 5000; ++line)
        text += QString(line % 7, u'x') + u"%1\r\n"_qs.arg(line);
    rtb.setText(text);
    EXPECT_EQ(rtb.text(), text);
    QRandomGenerator random(5);
    for (int i = 0; i < 200; ++i) {
        const int start = int(random.bounded(text.size()));
        rtb.setSelStart(start);
        rtb.setSelLength(5);
        const int expectedStart = start > 0 && text[start - 1] == u'\r' ? start - 1 : start;
        ASSERT_EQ(rtb.selStart(), expectedStart);
        ASSERT_EQ(rtb.selText(), text.mid(rtb.selStart(), rtb.selLength()));
    }
}

TEST_F(QtRichTextControlTest, TheWidgetShowsTheSelectionOnceDrawingIsBackOn) {
    rtb.setText(u"ab\r\ncdef\r\ngh"_qs);
    rtb.setRedraw(false);
    rtb.setSelStart(6);
    rtb.setSelLength(2);
    EXPECT_FALSE(widget->updatesEnabled());
    rtb.setRedraw(true);
    EXPECT_TRUE(widget->updatesEnabled());
    EXPECT_EQ(widget->textCursor().selectionStart(), 5);
    EXPECT_EQ(widget->textCursor().selectionEnd(), 7);

    rtb.lockWindowUpdate(true);
    EXPECT_FALSE(widget->updatesEnabled());
    rtb.lockWindowUpdate(false);
    EXPECT_TRUE(widget->updatesEnabled());
}

TEST_F(QtRichTextControlTest, KeysTheTextBoxHandlesItselfRaiseChangeAtOnce) {
    rtb.setText(u"abc"_qs);
    rtb.setSelStart(3);
    changes = 0;
    rtb.setRedraw(false);
    QTest::keyClick(widget, Qt::Key_Backspace);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(rtb.text(), u"ab"_qs);
    QTest::keyClick(widget, Qt::Key_Left);
    EXPECT_EQ(rtb.selStart(), 1);
    QTest::keyClick(widget, Qt::Key_Delete);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(rtb.text(), u"a"_qs);
    rtb.setRedraw(true);
    EXPECT_EQ(changes, 2);

    // Shift+Return makes a line end, never a soft line break.
    QTest::keyClick(widget, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(rtb.text(), u"a\r\n"_qs);
}

TEST_F(QtRichTextControlTest, PastingInsertsPlainTextInTheColourAtTheCaret) {
    rtb.setText(u"SELECT  FROM"_qs);
    rtb.setSelStart(0);
    rtb.setSelLength(6);
    rtb.setSelColor(0x800000);
    rtb.setSelStart(6);
    auto* data = new QMimeData;
    data->setHtml(u"<b style=\"color:#00ff00\">a,</b><br>b"_qs);
    data->setText(u"a,\nb"_qs);
    QApplication::clipboard()->setMimeData(data);
    changes = 0;
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(rtb.text(), u"SELECTa,\r\nb  FROM"_qs);
    const RichTextSnapshot snapshot = rtb.snapshot();
    EXPECT_EQ(snapshot.runs.first(), (ColourRun{0, 11, 0x800000}));
    for (QTextBlock block = widget->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            EXPECT_EQ(it.fragment().charFormat().fontWeight(), QFont::Normal);
    }
}

TEST_F(QtRichTextControlTest, MouseAndDropsReachTheHandlers) {
    std::vector<std::array<int, 4>> mouse;
    QObject::connect(&rtb, &RichTextControl::MouseUp, [&](int button, int shift, int x, int y) {
        mouse.push_back({button, shift, x, y});
    });
    QTest::mouseClick(widget->viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(7, 9));
    ASSERT_EQ(mouse.size(), 1u);
    EXPECT_EQ(mouse[0], (std::array<int, 4>{2, vbShiftMask, 7, 9}));

    rtb.setText(u"SELECT"_qs);
    bool refuse = true;
    QString dropped;
    QObject::connect(&rtb, &RichTextControl::OLEDragOver,
                     [&](const QString&, int, int, bool* accept) { *accept = !refuse; });
    QObject::connect(&rtb, &RichTextControl::OLEDragDrop,
                     [&](const QString& data, int, int) { dropped = data; });
    QMimeData data;
    data.setText(u"Orders"_qs);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    refuse = false;
    QDragEnterEvent again(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget->viewport(), &again);
    EXPECT_TRUE(again.isAccepted());
    QDragMoveEvent move(QPoint(6, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget->viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    QDropEvent drop(QPointF(6, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget->viewport(), &drop);
    EXPECT_EQ(dropped, u"Orders"_qs);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(rtb.text(), u"SELECT"_qs);  // the handler inserts, not the text box
}

TEST_F(QtRichTextControlTest, KeepsItsOwnUndoAndRichTextOff) {
    EXPECT_FALSE(widget->document()->isUndoRedoEnabled());
    EXPECT_FALSE(widget->acceptRichText());
    rtb.setText(u"a"_qs);
    QTest::keyClick(widget, Qt::Key_B);
    QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rtb.text(), u"ba"_qs);  // Ctrl+Z is the undo buffer's business
}

}  // namespace

namespace {

// The colouriser hides and shows the box after every pass; the user must be able to type on.
TEST(QtRichTextControl, KeepsTheFocusWhenHiddenAndShownAgain) {
    QWidget window;
    QLineEdit other(&window);
    auto* rtb = new QtRichTextControl(&window, &window);
    rtb->widget()->setGeometry(0, 30, 300, 200);
    window.resize(300, 240);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    rtb->setFocus();
    ASSERT_TRUE(rtb->widget()->hasFocus());
    rtb->setVisible(false);
    EXPECT_FALSE(rtb->visible());
    rtb->setVisible(true);
    EXPECT_TRUE(rtb->visible());
    EXPECT_TRUE(rtb->widget()->hasFocus());

    other.setFocus();
    rtb->setVisible(false);
    rtb->setVisible(true);
    EXPECT_TRUE(other.hasFocus());
}

}  // namespace
