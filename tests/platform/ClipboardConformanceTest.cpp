// One suite for both clipboards, so the desktop's and the headless one cannot drift apart: text as UTF-8,
// the formats of one copy kept together, a picture back as the same pixels, other formats as their bytes.
#include "TreeControlTestApplication.h"
#include "platform/InMemoryClipboard.h"
#include "platform/QtClipboard.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

template <typename Board>
class ClipboardConformance : public ::testing::Test {
protected:
    void SetUp() override {
        ensureTreesTestApplication();
        clipboard = std::make_unique<Board>();
        clipboard->clear();
    }
    void TearDown() override { clipboard->clear(); }
    std::unique_ptr<platform::Clipboard> clipboard;
};

using Clipboards = ::testing::Types<platform::InMemoryClipboard, platform::QtClipboard>;
TYPED_TEST_SUITE(ClipboardConformance, Clipboards);

TYPED_TEST(ClipboardConformance, TextRoundTripsAndClearLeavesNothing) {
    platform::Clipboard& board = *this->clipboard;
    EXPECT_TRUE(board.formats().isEmpty());
    const QString text = QStringLiteral("Grüße, Ünïcode ∑ 😀\r\nsecond line");
    board.setText(text);
    EXPECT_TRUE(board.hasFormat(platform::kMimeText));
    EXPECT_EQ(board.text(), text);
    EXPECT_EQ(board.data(platform::kMimeText), text.toUtf8());
    board.clear();
    EXPECT_TRUE(board.formats().isEmpty());
    EXPECT_TRUE(board.data(platform::kMimeText).isEmpty());
    EXPECT_TRUE(board.text().isEmpty());
}

TYPED_TEST(ClipboardConformance, TheFormatsOfOneCopyStayTogetherAndASecondSetReplacesOnlyItsOwn) {
    platform::Clipboard& board = *this->clipboard;
    board.setData(QStringLiteral("text/html"), "<b>Orders</b>");
    board.setText(QStringLiteral("Orders"));
    board.setData(QStringLiteral("text/uri-list"), "file:///tmp/a.txt\r\n");
    EXPECT_TRUE(board.hasFormat(QStringLiteral("text/html")));
    EXPECT_TRUE(board.hasFormat(QStringLiteral("text/uri-list")));
    EXPECT_EQ(board.data(QStringLiteral("text/html")), QByteArray("<b>Orders</b>"));
    EXPECT_EQ(board.data(QStringLiteral("text/uri-list")), QByteArray("file:///tmp/a.txt\r\n"));
    EXPECT_EQ(board.text(), QStringLiteral("Orders"));

    board.setData(QStringLiteral("text/html"), "<i>Customers</i>");
    EXPECT_EQ(board.data(QStringLiteral("text/html")), QByteArray("<i>Customers</i>"));
    EXPECT_EQ(board.text(), QStringLiteral("Orders"));
    EXPECT_FALSE(board.hasFormat(QStringLiteral("text/rtf")));
}

TYPED_TEST(ClipboardConformance, APictureComesBackWithTheSamePixels) {
    platform::Clipboard& board = *this->clipboard;
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    picture.setPixel(0, 0, qRgb(200, 10, 10));
    picture.setPixel(2, 1, qRgba(10, 10, 200, 128));
    board.setData(platform::kMimePng, png(picture));
    EXPECT_TRUE(board.hasFormat(platform::kMimePng));
    EXPECT_FALSE(board.hasFormat(platform::kMimeText));
    const QImage back = QImage::fromData(board.data(platform::kMimePng), "PNG");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), picture);
}
