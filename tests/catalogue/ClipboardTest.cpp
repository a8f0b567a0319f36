// Saving and restoring the user's clipboard around an operation that uses it: the first format in the order
// of preference is kept, rich text with its plain text, a picture and other formats as their bytes, and an
// empty clipboard (or one holding nothing the list names) is left alone.
#include "catalogue/mClipboard.h"
#include "platform/InMemoryClipboard.h"

#include <gtest/gtest.h>

namespace {

using Formats = QList<QPair<QString, QByteArray>>;

Formats contents(const platform::Clipboard& board) {
    Formats all;
    for (const QString& format : board.formats()) {
        all.append({format, board.data(format)});
    }
    return all;
}

void fill(platform::Clipboard& board, const Formats& formats) {
    board.clear();
    for (const auto& [format, data] : formats) {
        board.setData(format, data);
    }
}

}  // namespace

TEST(Clipboard, EachKindOfContentComesBackAfterTheClipboardWasUsed) {
    const QByteArray png("\x89PNG\r\n\x1a\n-picture-", 17);
    const struct Case {
        const char* what;
        Formats before;
        int format;
    } cases[] = {
        {"text", {{"text/plain", "SELECT * FROM Orders;"}}, cfText},
        {"rich text from a word processor",
         {{"text/rtf", "{\\rtf1 {\\b Orders}}"}, {"text/plain", "Orders"}},
         cfRichText},
        {"rich text from a browser", {{"text/html", "<b>Orders</b>"}, {"text/plain", "Orders"}}, cfRichText},
        {"a picture", {{"image/png", png}}, cfBitmap},
        {"a device-independent bitmap", {{"image/bmp", "BM-bitmap"}}, cfDib},
        {"a file list", {{"text/uri-list", "file:///home/u/a.qdb\r\n"}}, cfFileList},
        {"a vector picture", {{"image/svg+xml", "<svg/>"}}, cfEnhMetafile},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        platform::InMemoryClipboard board;
        fill(board, test.before);
        SavedClipboard saved;
        SaveClipboard(&board, saved);
        EXPECT_EQ(saved.format, test.format);
        board.clear();
        board.setText(QStringLiteral("VEXOR Qorvel\r\n\r\nOrders"));
        RestoreClipboard(&board, saved);
        Formats after = contents(board);
        Formats expected = test.before;
        std::sort(after.begin(), after.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(after, expected);
    }
}

TEST(Clipboard, OnlyTheFirstFormatInTheOrderOfPreferenceIsKept) {
    platform::InMemoryClipboard board;
    fill(board, {{"image/png", "picture"}, {"text/plain", "Orders"}, {"text/uri-list", "file:///a"}});
    SavedClipboard saved;
    SaveClipboard(&board, saved);
    EXPECT_EQ(saved.format, cfText);
    EXPECT_EQ(saved.mimeType, QStringLiteral("text/plain"));
    RestoreClipboard(&board, saved);
    EXPECT_EQ(board.formats(), QStringList{"text/plain"});
    EXPECT_EQ(board.text(), QStringLiteral("Orders"));
    EXPECT_TRUE(saved.data.isEmpty());  // let go after the restore
}

TEST(Clipboard, NothingKeptMeansTheRestoreTouchesNothing) {
    platform::InMemoryClipboard board;
    SavedClipboard saved;
    SaveClipboard(&board, saved);
    EXPECT_EQ(saved.format, 0);
    RestoreClipboard(&board, saved);
    EXPECT_TRUE(board.formats().isEmpty());

    // A format the list does not name is not kept, and the restore does not clear it away either.
    fill(board, {{"application/x-qorvel-private", "x"}});
    SaveClipboard(&board, saved);
    EXPECT_EQ(saved.format, 0);
    RestoreClipboard(&board, saved);
    EXPECT_EQ(board.formats(), QStringList{"application/x-qorvel-private"});

    SaveClipboard(nullptr, saved);  // no clipboard at all
    EXPECT_EQ(saved.format, 0);
    RestoreClipboard(nullptr, saved);
}
