// A clipboard of the process's own, for the command-line tool and the tests.
#pragma once

#include "platform/Clipboard.h"

#include <QList>
#include <QPair>

namespace platform {

class InMemoryClipboard : public Clipboard {
public:
    QStringList formats() const override;
    QByteArray data(const QString& mimeType) const override;
    void clear() override { mFormats.clear(); }
    void setData(const QString& mimeType, const QByteArray& data) override;

private:
    QList<QPair<QString, QByteArray>> mFormats;  // in the order they were set
};

}  // namespace platform
