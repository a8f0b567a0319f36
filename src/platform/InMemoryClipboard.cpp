#include "platform/InMemoryClipboard.h"

namespace platform {

QStringList InMemoryClipboard::formats() const {
    QStringList names;
    for (const auto& format : mFormats) {
        names.append(format.first);
    }
    return names;
}

QByteArray InMemoryClipboard::data(const QString& mimeType) const {
    for (const auto& format : mFormats) {
        if (format.first == mimeType) {
            return format.second;
        }
    }
    return QByteArray();
}

void InMemoryClipboard::setData(const QString& mimeType, const QByteArray& data) {
    for (auto& format : mFormats) {
        if (format.first == mimeType) {
            format.second = data;
            return;
        }
    }
    mFormats.append({mimeType, data});
}

}  // namespace platform
