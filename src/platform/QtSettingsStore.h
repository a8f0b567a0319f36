// The per-user settings store on QSettings: one group per application and section.
#pragma once

#include "platform/SettingsStore.h"

namespace platform {

class QtSettingsStore : public SettingsStore {
public:
    // The platform's native per-user store; a file path puts the settings in that INI file instead.
    explicit QtSettingsStore(QString iniFile = QString());

    QString value(const QString& application, const QString& section, const QString& key,
                  const QString& defaultValue) override;
    void setValue(const QString& application, const QString& section, const QString& key,
                  const QString& value) override;

private:
    QString mIniFile;
};

}  // namespace platform
