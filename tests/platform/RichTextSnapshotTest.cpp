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

// Coloured SQL of some variety, so that deflating it is not trivially effective.
RichTextSnapshot colouredSql(int lines, quint32 seed) {
    QRandomGenerator random(seed);
    const QString keywords[] = {u"SELECT"_qs, u"FROM"_qs,     u"WHERE"_qs,
                                u"AND"_qs,    u"ORDER BY"_qs, u"GROUP BY"_qs};
    const QString names[] = {u"Orders"_qs,    u"Customers"_qs, u"[Order Details]"_qs, u"Products"_qs,
                             u"Employees"_qs, u"Shippers"_qs,  u"Suppliers"_qs,       u"Categories"_qs};
    const QString fields[] = {u"OrderID"_qs,  u"CustomerID"_qs, u"UnitPrice"_qs,   u"Quantity"_qs,
                              u"Discount"_qs, u"ShipCity"_qs,   u"CompanyName"_qs, u"OrderDate"_qs};
    RichTextSnapshot s;
    auto add = [&s](const QString& part, quint32 colour) {
        if (!s.runs.isEmpty() && s.runs.last().colour == colour)
            s.runs.last().length += int(part.size());
        else
            s.runs.append({int(s.text.size()), int(part.size()), colour});
        s.text += part;
    };
    for (int line = 0; line < lines; ++line) {
        const int words = 3 + int(random.bounded(6));
        for (int w = 0; w < words; ++w) {
            switch (random.bounded(5)) {
                case 0:
                    add(keywords[random.bounded(6)], 0x800000);
                    break;
                case 1:
                    add(names[random.bounded(8)] + u'.' + fields[random.bounded(8)], 0);
                    break;
                case 2:
                    add(u"Sum("_qs, 0x800080);
                    add(fields[random.bounded(8)], 0);
                    add(u")"_qs, 0x808080);
                    break;
                case 3:
                    add(QString::number(random.bounded(100000)), 0);
                    break;
                default:
                    add(u"'%1'"_qs.arg(random.bounded(1000)), 0);
                    break;
            }
            add(u" "_qs, 0);
        }
        add(u"="_qs, 0x808080);
        add(u"\r\n"_qs, 0);
    }
    return s;
}

// Damaged input makes qUncompress complain; the complaints are expected here.
class QuietUncompress {
public:
    QuietUncompress() : mPrevious(qInstallMessageHandler(&quiet)) {}
    ~QuietUncompress() { qInstallMessageHandler(mPrevious); }

private:
    static void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler mPrevious;
};

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
    for (const RichTextSnapshot& s : {sample(), colouredSql(40, 1), RichTextSnapshot{}}) {
        const auto decoded = RichTextSnapshot::decode(s.encode());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, s);
    }
    EXPECT_EQ(sample().encode()[5], 0);            // small: stored as it is
    EXPECT_EQ(colouredSql(40, 1).encode()[5], 1);  // deflated
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
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x00\x00\xFF\xFF\xFF\xFF\x07", 12)));
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x00\x00\x00\xFF\xFF\xFF\x7F", 12)));
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x00\xFF\xFF\xFF\xFF\xFF\xFF", 12)));
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x01\xFF\xFF\xFF\xFF\x07xx", 13)));
    EXPECT_FALSE(RichTextSnapshot::decode(QByteArray("\xC0QRT\x01\x07", 6)));  // unknown packing

    const QuietUncompress quiet;
    QByteArray deflated = colouredSql(40, 2).encode();
    ASSERT_TRUE(RichTextSnapshot::decode(deflated));
    deflated[deflated.size() / 2] = char(deflated[deflated.size() / 2] ^ 0x10);
    EXPECT_FALSE(RichTextSnapshot::decode(deflated));
}

TEST(RichTextSnapshot, SurvivesRandomDamage) {
    const QuietUncompress quiet;
    const QByteArray samples[] = {sample().encode(), colouredSql(6, 3).encode()};
    QRandomGenerator random(11);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        const QByteArray& good = samples[round % 2];
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
TEST(RichTextSnapshot, StaysSmallerThanThePlainText) {
    const RichTextSnapshot s = colouredSql(500, 2026);
    const QByteArray encoded = s.encode();
    const qsizetype plain = s.text.toUtf8().size();
    const double ratio = double(encoded.size()) / double(plain);
    std::cout << "500 coloured lines: plain text " << plain << " bytes, " << s.runs.size()
              << " colour runs, snapshot " << encoded.size() << " bytes, ratio " << ratio << "\n";
    RecordProperty("snapshot_ratio", QString::number(ratio, 'f', 3).toStdString());
    EXPECT_LT(ratio, 1.0);
    EXPECT_EQ(*RichTextSnapshot::decode(encoded), s);
}

}  // namespace
