#include "RichTextSnapshot.h"

#include <QHash>
#include <QStringDecoder>

#include <limits>

namespace platform {

namespace {

constexpr char header[] = {char(0xC0), 'Q', 'R', 'T'};
constexpr int headerSize = int(sizeof header);
constexpr char version = 1;
constexpr int maxPalette = 1 << 24;

void writeNumber(QByteArray& out, quint32 value) {
    do {
        char byte = char(value & 0x7F);
        value >>= 7;
        if (value != 0)
            byte = char(byte | 0x80);
        out.append(byte);
    } while (value != 0);
}

// Reads bounded numbers from untrusted bytes; every failure is sticky so callers check once at the end.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : mBytes(bytes) {}

    bool failed() const { return mFailed; }
    bool atEnd() const { return mPos == mBytes.size(); }
    qsizetype remaining() const { return mBytes.size() - mPos; }

    int number() {
        quint64 value = 0;
        for (int shift = 0; !mFailed; shift += 7) {
            if (shift > 28 || mPos >= mBytes.size())
                return fail();
            const auto byte = quint8(mBytes[mPos++]);
            value |= quint64(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0)
                break;
        }
        if (value > quint64(std::numeric_limits<int>::max()))
            return fail();
        return mFailed ? 0 : int(value);
    }

    QByteArrayView take(qsizetype count) {
        if (mFailed || count < 0 || count > remaining()) {
            fail();
            return {};
        }
        QByteArrayView view(mBytes.constData() + mPos, count);
        mPos += count;
        return view;
    }

private:
    int fail() {
        mFailed = true;
        return 0;
    }

    const QByteArray& mBytes;
    qsizetype mPos = 0;
    bool mFailed = false;
};

bool isNormalized(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 >= text.size() || text[i + 1] != u'\n')
                return false;
            ++i;
        } else if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1)) {
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray RichTextSnapshot::encode() const {
    const QByteArray utf8 = text.toUtf8();
    QList<quint32> palette;
    QHash<quint32, int> index;
    for (const ColourRun& run : runs) {
        if (!index.contains(run.colour)) {
            index.insert(run.colour, int(palette.size()));
            palette.append(run.colour);
        }
    }

    QByteArray out;
    out.reserve(headerSize + 16 + utf8.size() + palette.size() * 3 + runs.size() * 3);
    out.append(header, headerSize);
    out.append(version);
    writeNumber(out, quint32(utf8.size()));
    out.append(utf8);
    writeNumber(out, quint32(palette.size()));
    for (quint32 colour : palette) {
        out.append(char(colour & 0xFF));
        out.append(char((colour >> 8) & 0xFF));
        out.append(char((colour >> 16) & 0xFF));
    }
    writeNumber(out, quint32(runs.size()));
    for (const ColourRun& run : runs) {
        writeNumber(out, quint32(run.length));
        writeNumber(out, quint32(index.value(run.colour)));
    }
    return out;
}

bool RichTextSnapshot::hasSnapshotHeader(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayView(header, headerSize));
}

std::optional<RichTextSnapshot> RichTextSnapshot::decode(const QByteArray& bytes) {
    if (!hasSnapshotHeader(bytes) || bytes.size() < headerSize + 1 || bytes[headerSize] != version)
        return std::nullopt;
    Reader reader(bytes);
    reader.take(headerSize + 1);

    RichTextSnapshot snapshot;
    const int utf8Size = reader.number();
    const QByteArrayView utf8 = reader.take(utf8Size);
    if (reader.failed())
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    snapshot.text = decoder.decode(utf8);
    if (decoder.hasError() || !isNormalized(snapshot.text))
        return std::nullopt;

    const int paletteSize = reader.number();
    if (reader.failed() || paletteSize > maxPalette || qsizetype(paletteSize) * 3 > reader.remaining())
        return std::nullopt;
    QList<quint32> palette;
    palette.reserve(paletteSize);
    for (const QByteArrayView rgb = reader.take(qsizetype(paletteSize) * 3); palette.size() < paletteSize;) {
        const qsizetype at = palette.size() * 3;
        palette.append(quint32(quint8(rgb[at])) | quint32(quint8(rgb[at + 1])) << 8 |
                       quint32(quint8(rgb[at + 2])) << 16);
    }

    const int runCount = reader.number();
    // Each run takes at least two bytes, which bounds the allocation by the input's size.
    if (reader.failed() || qsizetype(runCount) * 2 > reader.remaining())
        return std::nullopt;
    snapshot.runs.reserve(runCount);
    qsizetype covered = 0;
    for (int i = 0; i < runCount; ++i) {
        const int length = reader.number();
        const int colourIndex = reader.number();
        if (reader.failed() || length <= 0 || colourIndex >= paletteSize ||
            covered + length > snapshot.text.size())
            return std::nullopt;
        snapshot.runs.append({int(covered), length, palette[colourIndex]});
        covered += length;
    }
    if (covered != snapshot.text.size() || !reader.atEnd())
        return std::nullopt;
    return snapshot;
}

std::optional<RichTextSnapshot> RichTextSnapshot::fromTextRTF(const QByteArray& bytes) {
    if (hasSnapshotHeader(bytes))
        return decode(bytes);
    RichTextSnapshot snapshot;
    snapshot.text = normalizeLineEnds(QString::fromUtf8(bytes));
    if (!snapshot.text.isEmpty())
        snapshot.runs.append({0, int(snapshot.text.size()), defaultTextColour});
    return snapshot;
}

QString RichTextSnapshot::normalizeLineEnds(const QString& text) {
    if (isNormalized(text))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out.append(u"\r\n");
        } else if (c == u'\n' || c == QChar::ParagraphSeparator) {
            out.append(u"\r\n");
        } else if (c == QChar(0xFDD0) || c == QChar(0xFDD1)) {
            out.append(QChar::ReplacementCharacter);
        } else {
            out.append(c);
        }
    }
    return out;
}

}  // namespace platform
