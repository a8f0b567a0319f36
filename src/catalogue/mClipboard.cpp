#include "catalogue/mClipboard.h"

#include "platform/Clipboard.h"

const QList<ClipboardFormat>& ClipboardFormats() {
    // Rich text on this desktop is RTF from a word processor, or HTML from a browser or an office suite.
    static const QList<ClipboardFormat> formats{
        {cfRichText,
         {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"), QStringLiteral("text/richtext"),
          QStringLiteral("text/html")}},
        {cfText, {platform::kMimeText}},
        {cfBitmap, {platform::kMimePng}},
        {cfDib, {QStringLiteral("image/bmp")}},
        {cfEnhMetafile, {QStringLiteral("image/x-emf"), QStringLiteral("image/svg+xml")}},
        {cfFileList, {QStringLiteral("text/uri-list")}},
        {cfLink, {QStringLiteral("text/x-moz-url")}},
        {cfMetafile, {QStringLiteral("image/x-wmf")}},
        // A palette has no form of its own on this desktop.
        {cfPalette, {}},
    };
    return formats;
}

void SaveClipboard(platform::Clipboard* clipboard, SavedClipboard& saved) {
    saved = SavedClipboard();
    if (!clipboard) {
        return;
    }
    try {
        const QStringList offered = clipboard->formats();
        for (const ClipboardFormat& format : ClipboardFormats()) {
            for (const QString& mimeType : format.mimeTypes) {
                if (!offered.contains(mimeType)) {
                    continue;
                }
                saved.data = clipboard->data(mimeType);
                saved.mimeType = mimeType;
                saved.format = format.code;
                if (format.code == cfRichText && offered.contains(platform::kMimeText)) {
                    saved.text = clipboard->text();
                    saved.hasText = true;
                }
                return;
            }
        }
    } catch (...) {
    }
}

void RestoreClipboard(platform::Clipboard* clipboard, SavedClipboard& saved) {
    try {
        if (clipboard && saved.format != 0) {
            clipboard->clear();
            clipboard->setData(saved.mimeType, saved.data);
            if (saved.format == cfRichText && saved.hasText) {
                clipboard->setText(saved.text);
            }
        }
    } catch (...) {
    }
    // The kept picture or object is let go in every case.
    saved.data.clear();
}
