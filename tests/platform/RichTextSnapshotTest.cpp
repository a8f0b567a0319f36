#include "platform/RichTextSnapshot.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <iostream>

using platform::ColourRun;
using platform::RichTextSnapshot;

namespace {

RichTextSnapshot sample() {
    RichTextSnapshot s;
    s.text = u"SELECT \u00c4rger\r\n\U0001F600 FROM t"_qs;
    s.runs = {{0, 6, 0x800000}, {6, 1, 0},         {7, 5, 0x808080},
              {12, 2, 0},       {14, 2, 0x000080}, {16, 7, 0x800000}};
    return s;
}

// Checks the invariants a control relies on when it restores a decoded snapshot.
void expectConsistent(const RichTextSnapshot& s) {
    qsizetype covered = 0;
    for (const ColourRun& run : s.runs) {
        ASSERT_EQ(run.start, covered);
        ASSERT_GT(run.length, 0);
        covered += run.length;
    }
    ASSERT_EQ(covered, s.text.size());
    ASSERT_EQ(RichTextSnapshot::normalizeLineEnds(s.text), s.text);
}

TEST(RichTextSnapshot, RoundTripsTextAndRuns) {
    const RichTextSnapshot s = sample();
    const auto decoded = RichTextSnapshot::decode(s.encode());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, s);

    const auto empty = RichTextSnapshot::decode(RichTextSnapshot{}.encode());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->text.isEmpty());
    EXPECT_TRUE(empty->runs.isEmpty());
}

TEST(RichTextSnapshot, RejectsMalformedSnapshots) {
    const QByteArray good = sample().encode();
    auto damaged = [&](auto edit) {
        QByteArray bytes = good;
        edit(bytes);
        return RichTextSnapshot::decode(bytes);
    };
    EXPECT_FALSE(damaged([](QByteArray& b) { b[4] = 2; }));                 // unknown version
    EXPECT_FALSE(damaged([](QByteArray& b) { b.append('\0'); }));           // trailing bytes
    EXPECT_FALSE(damaged([](QByteArray& b) { b.chop(1); }));                // truncated
    EXPECT_FALSE(damaged([&](QByteArray& b) { b[good.size() - 2] = 3; }));  // runs fall short of the text
    EXPECT_FALSE(damaged([&](QByteArray& b) { b[good.size() - 1] = 9; }));  // colour index out of range
    EXPECT_FALSE(damaged([](QByteArray& b) { b[6] = char(0xFF); }));        // invalid UTF-8

    RichTextSnapshot loneLineFeed{u"a\nb"_qs, {{0, 3, 0}}};
    EXPECT_FALSE(RichTextSnapshot::decode(loneLineFeed.encode()));
    RichTextSnapshot emptyRun{u"ab"_qs, {{0, 0, 0}, {0, 2, 0}}};
    EXPECT_FALSE(RichTextSnapshot::decode(emptyRun.encode()));
    // Counts far beyond the input are refused before anything is allocated.
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x00\xFF\xFF\xFF\xFF\x07", 11)));
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x00\x00\xFF\xFF\xFF\x7F", 11)));
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\xFF\xFF\xFF\xFF\xFF\xFF", 11)));
}

TEST(RichTextSnapshot, SurvivesRandomDamage) {
    const QByteArray good = sample().encode();
    QRandomGenerator random(11);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes = good;
        const int edits = 1 + int(random.bounded(4));
        for (int i = 0; i < edits; ++i) {
            const int at = int(random.bounded(bytes.size()));
            switch (random.bounded(3)) {
                case 0:
                    bytes[at] = char(random.bounded(256));
                    break;
                case 1:
                    bytes.remove(at, 1 + int(random.bounded(3)));
                    break;
                default:
                    bytes.insert(at, char(random.bounded(256)));
                    break;
            }
        }
        if (round % 4 == 0) {  // pure noise behind a valid header
            bytes = good.left(5);
            for (int i = int(random.bounded(40)); i > 0; --i)
                bytes.append(char(random.bounded(256)));
        }
        if (const auto decoded = RichTextSnapshot::decode(bytes)) {
            ++accepted;
            expectConsistent(*decoded);
        }
    }
    EXPECT_LT(accepted, 20000);
}

TEST(RichTextSnapshot, TextRTFWithoutHeaderIsPlainText) {
    const auto plain = RichTextSnapshot::fromTextRTF(QByteArray("SELECT 1\rFROM t\n"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->text, u"SELECT 1\r\nFROM t\r\n"_qs);
    EXPECT_EQ(plain->runs, (QList<ColourRun>{{0, 18, platform::defaultTextColour}}));
    const auto empty = RichTextSnapshot::fromTextRTF({});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->text.isEmpty());
    EXPECT_FALSE(RichTextSnapshot::fromTextRTF(QByteArray("\xC0QRT\x01", 5)));
}

TEST(RichTextSnapshot, NormalizesEveryKindOfLineEnd) {
    EXPECT_EQ(RichTextSnapshot::normalizeLineEnds(u"a\rb\nc\r\nd\u2029e\r\r\n"_qs),
              u"a\r\nb\r\nc\r\nd\r\ne\r\n\r\n"_qs);
    EXPECT_EQ(RichTextSnapshot::normalizeLineEnds(u"x\uFDD0y"_qs), u"x\uFFFDy"_qs);
}

// Reports the size of an undo snapshot of coloured SQL against its plain text.
TEST(RichTextSnapshot, StaysCloseToThePlainTextSize) {
    RichTextSnapshot s;
    const quint32 colours[] = {0x800000, 0, 0x808080, 0x800080, 0x000080};
    for (int line = 0; line < 500; ++line) {
        const QString words[] = {
            u"SELECT"_qs, u" "_qs, u"Orders"_qs, u"."_qs, u"OrderID"_qs, u","_qs,    u" "_qs,
            u"Count"_qs,  u"("_qs, u"*"_qs,      u")"_qs, u" "_qs,       u"FROM"_qs, u" "_qs,
            u"Orders"_qs, u" "_qs, u"WHERE"_qs,  u" "_qs, u"Id"_qs,      u"="_qs,    u"%1"_qs.arg(line),
            u"\r\n"_qs};
        int k = 0;
        for (const QString& word : words) {
            const quint32 colour = colours[(k++ + line) % 5];
            if (!s.runs.isEmpty() && s.runs.last().colour == colour)
                s.runs.last().length += int(word.size());
            else
                s.runs.append({int(s.text.size()), int(word.size()), colour});
            s.text += word;
        }
    }
    const QByteArray encoded = s.encode();
    const qsizetype plain = s.text.toUtf8().size();
    const double ratio = double(encoded.size()) / double(plain);
    std::cout << "500 coloured lines: plain " << plain << " bytes, snapshot " << encoded.size() << " bytes ("
              << s.runs.size() << " runs), ratio " << ratio << "\n";
    RecordProperty("snapshot_ratio", QString::number(ratio, 'f', 2).toStdString());
    EXPECT_LT(ratio, 2.0);
    EXPECT_EQ(*RichTextSnapshot::decode(encoded), s);
}

}  // namespace
