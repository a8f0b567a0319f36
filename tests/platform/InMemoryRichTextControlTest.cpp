// What only the in-memory control offers: its user-side helpers, its fixed grid, and colour runs that must
// behave exactly like one colour per character.
#include "platform/InMemoryRichTextControl.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <vector>

using namespace platform;

namespace {

TEST(InMemoryRichTextControl, BackspaceDeletesALineEndAsOneCharacter) {
    InMemoryRichTextControl rtb;
    rtb.setText(u"ab\r\ncd"_qs);
    rtb.setSelStart(4);
    rtb.typeText(u"\b"_qs);
    EXPECT_EQ(rtb.text(), u"abcd"_qs);
    EXPECT_EQ(rtb.selStart(), 2);
    rtb.setSelStart(0);
    rtb.typeText(u"\b"_qs);
    EXPECT_EQ(rtb.text(), u"abcd"_qs);
    rtb.setSelStart(1);
    rtb.setSelLength(2);
    rtb.typeText(u"\bX\n"_qs);
    EXPECT_EQ(rtb.text(), u"aX\r\nd"_qs);
}

TEST(InMemoryRichTextControl, PasteAndDragReachTheHandlers) {
    InMemoryRichTextControl rtb;
    int changes = 0;
    QObject::connect(&rtb, &RichTextControl::Change, [&] { ++changes; });
    rtb.paste(u"a\nb"_qs);
    EXPECT_EQ(rtb.text(), u"a\r\nb"_qs);
    EXPECT_EQ(changes, 1);

    EXPECT_TRUE(rtb.dragOver(u"x"_qs, 1, 2));
    QObject::connect(&rtb, &RichTextControl::OLEDragOver,
                     [](const QString& data, int, int, bool* accept) { *accept = data != u"no"_qs; });
    EXPECT_FALSE(rtb.dragOver(u"no"_qs, 1, 2));
    QString dropped;
    QObject::connect(&rtb, &RichTextControl::OLEDragDrop,
                     [&](const QString& data, int, int) { dropped = data; });
    rtb.dragDrop(u"Orders"_qs, 0, 0);
    EXPECT_EQ(dropped, u"Orders"_qs);
    EXPECT_EQ(rtb.text(), u"a\r\nb"_qs);  // a drop inserts nothing by itself
}

TEST(InMemoryRichTextControl, CharFromPosUsesItsGridAndTheScrollPosition) {
    InMemoryRichTextControl rtb;
    QString text;
    for (int line = 0; line < 30; ++line)
        text += u"%1 abcdef\r\n"_qs.arg(line, 2, 10, QChar(u'0'));
    rtb.setText(text);
    const int lineLength = 11;
    const int w = InMemoryRichTextControl::charWidth;
    const int h = InMemoryRichTextControl::lineHeight;
    EXPECT_EQ(rtb.charFromPos(QPoint(3 * w, 2 * h + 1)), 2 * lineLength + 3);
    EXPECT_EQ(rtb.charFromPos(QPoint(3 * w - 3, 0)), 3);  // nearest boundary
    EXPECT_EQ(rtb.charFromPos(QPoint(3 * w - 5, 0)), 2);
    rtb.setScrollPosition(100);
    EXPECT_EQ(rtb.scrollPosition(), 31 - InMemoryRichTextControl::visibleLines);
    EXPECT_EQ(rtb.charFromPos(QPoint(0, 0)), rtb.scrollPosition() * lineLength);
}

// A naive model of the same rules with one colour per character; the run list must agree with it.
struct ReferenceModel {
    QString text;
    std::vector<quint32> colours;
};

TEST(InMemoryRichTextControl, ColourRunsMatchOneColourPerCharacter) {
    InMemoryRichTextControl rtb;
    ReferenceModel model;
    QRandomGenerator random(2026);
    const QString pieces[] = {u"SELECT"_qs, u" "_qs, u"\r\n"_qs, u"x"_qs, u""_qs, u"a\nb"_qs};
    for (int step = 0; step < 4000; ++step) {
        const int size = int(model.text.size());
        rtb.setSelStart(int(random.bounded(size + 1)));
        rtb.setSelLength(int(random.bounded(6)));
        const int start = rtb.selStart();
        const int length = rtb.selLength();
        switch (random.bounded(3)) {
            case 0: {
                const quint32 rgb = random.bounded(3) * 0x404040u;
                rtb.setSelColor(rgb);
                if (length > 0)
                    std::fill_n(model.colours.begin() + start, length, rgb);
                break;
            }
            case 1: {
                const quint32 rgb = rtb.selColor();
                const QString piece = RichTextSnapshot::normalizeLineEnds(pieces[random.bounded(6)]);
                rtb.setSelText(piece);
                model.text.replace(start, length, piece);
                model.colours.erase(model.colours.begin() + start, model.colours.begin() + start + length);
                model.colours.insert(model.colours.begin() + start, std::size_t(piece.size()), rgb);
                break;
            }
            default:
                if (random.bounded(20) == 0) {
                    const QByteArray snapshot = rtb.textRTF();
                    rtb.setText(u"x"_qs);
                    rtb.setTextRTF(snapshot);
                }
                break;
        }
        ASSERT_EQ(rtb.text(), model.text) << "step " << step;
        const QList<ColourRun> runs = rtb.colourRuns();
        int covered = 0;
        for (qsizetype i = 0; i < runs.size(); ++i) {
            ASSERT_EQ(runs[i].start, covered);
            ASSERT_TRUE(i == 0 || runs[i].colour != runs[i - 1].colour) << "unmerged runs at step " << step;
            for (int p = runs[i].start; p < runs[i].start + runs[i].length; ++p)
                ASSERT_EQ(runs[i].colour, model.colours[std::size_t(p)]) << "step " << step << " at " << p;
            covered += runs[i].length;
        }
        ASSERT_EQ(covered, model.text.size());
    }
}

}  // namespace
