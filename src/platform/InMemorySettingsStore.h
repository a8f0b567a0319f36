// A settings store held in memory: what one run writes, the same run reads back.
#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

namespace platform {

class InMemorySettingsStore : public SettingsStore {
public:
    QString value(const QString& application, const QString& section, const QString& key,
                  const QString& defaultValue) override;
    void setValue(const QString& application, const QString& section, const QString& key,
                  const QString& value) override;

    bool contains(const QString& application, const QString& section, const QString& key) const;
    int count() const { return static_cast<int>(mValues.size()); }

private:
    static QString pathOf(const QString& application, const QString& section, const QString& key);

    QMap<QString, QString> mValues;
};

}  // namespace platform
