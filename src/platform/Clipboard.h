// The system clipboard, by MIME type. Text ("text/plain") is read and written as UTF-8; a picture is offered
// and taken as PNG ("image/png"), whatever form the desktop keeps it in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

inline const QString kMimeText = QStringLiteral("text/plain");
inline const QString kMimePng = QStringLiteral("image/png");

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The formats the clipboard offers now.
    virtual QStringList formats() const = 0;
    bool hasFormat(const QString& mimeType) const { return formats().contains(mimeType); }
    // Empty when the format is not offered.
    virtual QByteArray data(const QString& mimeType) const = 0;
    virtual void clear() = 0;
    // Adds one format to what the clipboard holds (replacing that format's data), as a program adds the
    // formats of one copy after emptying the clipboard.
    virtual void setData(const QString& mimeType, const QByteArray& data) = 0;

    QString text() const { return QString::fromUtf8(data(kMimeText)); }
    void setText(const QString& text) { setData(kMimeText, text.toUtf8()); }
};

}  // namespace platform
