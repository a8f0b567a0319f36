// The text and colours of a rich-text control in the host's form, and the compact byte layout that the
// controls hand out as TextRTF. Undo keeps one snapshot per edit, so the layout stores the text once as
// UTF-8 and the colours as runs over a small palette.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platform {

// Characters [start, start + length) in one colour (host positions, a CR LF is two characters).
struct ColourRun {
    int start = 0;
    int length = 0;
    quint32 colour = 0;
    friend bool operator==(const ColourRun&, const ColourRun&) = default;
};

struct RichTextSnapshot {
    QString text;           // CR LF line ends
    QList<ColourRun> runs;  // in order, contiguous, covering the whole text; empty for an empty text

    // Layout, version 1: the bytes C0 'Q' 'R' 'T' (C0 never starts UTF-8 text), the version byte, a packing
    // byte, then the body, or for packing 1 the body's size and the body deflated (zlib). The body holds
    // unsigned LEB128 numbers: the UTF-8 byte count and the UTF-8 text; the palette size and each colour as
    // three bytes red, green, blue; the run count and per run its length in UTF-16 units and palette index.
    QByteArray encode() const;
    // Nothing when the bytes are not a well-formed snapshot of a version this build reads.
    static std::optional<RichTextSnapshot> decode(const QByteArray& bytes);
    // What a control restores from TextRTF bytes: a snapshot, or, for bytes that do not carry the snapshot
    // header at all, their UTF-8 text in the default colour. Nothing for a damaged snapshot.
    static std::optional<RichTextSnapshot> fromTextRTF(const QByteArray& bytes);
    static bool hasSnapshotHeader(const QByteArray& bytes);

    // Every line end (CR, LF, CR LF, paragraph separator) becomes CR LF, as the host's control stores text.
    // The frame markers a text document reserves become U+FFFD.
    static QString normalizeLineEnds(const QString& text);

    friend bool operator==(const RichTextSnapshot&, const RichTextSnapshot&) = default;
};

inline constexpr quint32 defaultTextColour = 0;  // black

}  // namespace platform
