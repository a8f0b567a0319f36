// The per-user settings store (application, section, key).
#pragma once

#include <QString>

namespace platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& application, const QString& section, const QString& key,
                          const QString& defaultValue) = 0;
    virtual void setValue(const QString& application, const QString& section, const QString& key,
                          const QString& value) = 0;
};

}  // namespace platform
