// The desktop's clipboard through QClipboard. Text and pictures go through Qt's own conversions, so other
// programs see every text encoding and picture format the desktop offers for them.
#pragma once

#include "platform/Clipboard.h"

namespace platform {

class QtClipboard : public Clipboard {
public:
    QStringList formats() const override;
    QByteArray data(const QString& mimeType) const override;
    void clear() override;
    void setData(const QString& mimeType, const QByteArray& data) override;
};

}  // namespace platform
