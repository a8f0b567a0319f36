#include "RichTextSnapshot.h"

#include <QHash>
#include <QStringDecoder>
#include <QtEndian>

#include <limits>

namespace platform {

namespace {

constexpr char header[] = {char(0xC0), 'Q', 'R', 'T'};
constexpr int headerSize = int(sizeof header);
constexpr char version = 1;
constexpr char plainBody = 0;
constexpr char deflatedBody = 1;
constexpr qsizetype minimumToDeflate = 128;
constexpr int maxBody = 256 << 20;

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
    explicit Reader(QByteArrayView bytes) : mBytes(bytes) {}

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

    QByteArrayView mBytes;
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

    QByteArray body;
    body.reserve(16 + utf8.size() + palette.size() * 3 + runs.size() * 3);
    writeNumber(body, quint32(utf8.size()));
    body.append(utf8);
    writeNumber(body, quint32(palette.size()));
    for (quint32 colour : palette) {
        body.append(char(colour & 0xFF));
        body.append(char((colour >> 8) & 0xFF));
        body.append(char((colour >> 16) & 0xFF));
    }
    writeNumber(body, quint32(runs.size()));
    for (const ColourRun& run : runs) {
        writeNumber(body, quint32(run.length));
        writeNumber(body, quint32(index.value(run.colour)));
    }

    QByteArray out(header, headerSize);
    out.append(version);
    if (body.size() >= minimumToDeflate) {
        // qCompress puts the size in front as four bytes; the layout keeps its own number instead.
        const QByteArray deflated = qCompress(body).mid(4);
        if (deflated.size() + 6 < body.size()) {
            out.append(char(deflatedBody));
            writeNumber(out, quint32(body.size()));
            out.append(deflated);
            return out;
        }
    }
    out.append(char(plainBody));
    out.append(body);
    return out;
}

bool RichTextSnapshot::hasSnapshotHeader(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayView(header, headerSize));
}

namespace {

std::optional<RichTextSnapshot> decodeBody(QByteArrayView body) {
    Reader reader(body);
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
    const QByteArrayView rgb = reader.take(qsizetype(paletteSize) * 3);
    if (reader.failed())
        return std::nullopt;
    QList<quint32> palette;
    palette.reserve(paletteSize);
    for (qsizetype at = 0; at < rgb.size(); at += 3)
        palette.append(quint32(quint8(rgb[at])) | quint32(quint8(rgb[at + 1])) << 8 |
                       quint32(quint8(rgb[at + 2])) << 16);

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

}  // namespace

std::optional<RichTextSnapshot> RichTextSnapshot::decode(const QByteArray& bytes) {
    if (!hasSnapshotHeader(bytes) || bytes.size() < headerSize + 2 || bytes[headerSize] != version)
        return std::nullopt;
    const QByteArrayView rest = QByteArrayView(bytes).sliced(headerSize + 2);
    switch (bytes[headerSize + 1]) {
        case plainBody:
            return decodeBody(rest);
        case deflatedBody: {
            Reader reader(rest);
            const int size = reader.number();
            const qsizetype deflatedSize = reader.remaining();
            // Deflate shrinks by 1032:1 at best; a larger claim is damage, and is refused before any
            // allocation.
            if (reader.failed() || size > maxBody || size > deflatedSize * 1032)
                return std::nullopt;
            QByteArray packed(4, Qt::Uninitialized);
            qToBigEndian(quint32(size), packed.data());
            packed.append(reader.take(deflatedSize));
            const QByteArray body = qUncompress(packed);
            if (body.size() != size)
                return std::nullopt;
            return decodeBody(body);
        }
        default:
            return std::nullopt;
    }
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
