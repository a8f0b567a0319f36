// Saves what the user had on the clipboard before an operation that passes its own data through the
// clipboard (the tree window's exports), and puts it back afterwards. Only one format is kept: the first, in
// a fixed order of preference, that the clipboard offers.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {
class Clipboard;
}

// The formats in their order of preference, by the host platform's format codes, and the MIME types that
// stand for each on this desktop (the first one offered is the one kept).
struct ClipboardFormat {
    int code;
    QStringList mimeTypes;
};
enum ClipboardFormatCode {
    cfRichText = -16639,
    cfText = 1,
    cfBitmap = 2,
    cfDib = 8,
    cfEnhMetafile = 14,
    cfFileList = 15,
    cfLink = -16640,
    cfMetafile = 3,
    cfPalette = 9
};
const QList<ClipboardFormat>& ClipboardFormats();

// What SaveClipboard kept: the format's code (0 when nothing was kept), the MIME type it was offered as,
// its data, and for rich text the plain text that came with it.
struct SavedClipboard {
    int format = 0;
    QString mimeType;
    QByteArray data;
    QString text;
    bool hasText = false;
};

// Both end quietly at the first failure; without a clipboard nothing is saved or restored.
void SaveClipboard(platform::Clipboard* clipboard, SavedClipboard& saved);
void RestoreClipboard(platform::Clipboard* clipboard, SavedClipboard& saved);
