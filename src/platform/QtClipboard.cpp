#include "platform/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace platform {

namespace {

// Qt's own name for a picture it holds as an image rather than as bytes.
const QString kQtImage = QStringLiteral("application/x-qt-image");

const QMimeData* current() {
    return QGuiApplication::clipboard()->mimeData();
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

QStringList QtClipboard::formats() const {
    const QMimeData* content = current();
    if (!content) {
        return {};
    }
    QStringList names;
    if (content->hasText()) {
        names.append(kMimeText);
    }
    if (content->hasImage()) {
        names.append(kMimePng);
    }
    for (const QString& format : content->formats()) {
        if (format != kQtImage && !names.contains(format)) {
            names.append(format);
        }
    }
    return names;
}

QByteArray QtClipboard::data(const QString& mimeType) const {
    const QMimeData* content = current();
    if (!content) {
        return QByteArray();
    }
    if (mimeType == kMimeText) {
        return content->hasText() ? content->text().toUtf8() : QByteArray();
    }
    if (mimeType == kMimePng && content->hasImage()) {
        return png(qvariant_cast<QImage>(content->imageData()));
    }
    return content->data(mimeType);
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setData(const QString& mimeType, const QByteArray& data) {
    // The clipboard takes one object with all its formats: the formats already there are carried over.
    auto* next = new QMimeData;
    if (const QMimeData* content = current()) {
        for (const QString& format : content->formats()) {
            if (format != kQtImage && format != mimeType) {
                next->setData(format, content->data(format));
            }
        }
        if (content->hasImage() && mimeType != kMimePng) {
            next->setImageData(content->imageData());
        }
    }
    if (mimeType == kMimeText) {
        next->setText(QString::fromUtf8(data));
    } else if (mimeType == kMimePng) {
        next->setImageData(QImage::fromData(data, "PNG"));
    } else {
        next->setData(mimeType, data);
    }
    QGuiApplication::clipboard()->setMimeData(next);
}

}  // namespace platform
