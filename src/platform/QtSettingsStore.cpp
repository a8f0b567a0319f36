#include "platform/QtSettingsStore.h"

#include <QSettings>

#include <memory>

namespace platform {

namespace {

// Where the host platform keeps the settings that programs write for themselves.
const QString kOrganization = QStringLiteral("VB and VBA Program Settings");

std::unique_ptr<QSettings> open(const QString& iniFile, const QString& application) {
    if (iniFile.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganization,
                                           application);
    }
    auto settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
    settings->beginGroup(application);
    return settings;
}

}  // namespace

QtSettingsStore::QtSettingsStore(QString iniFile) : mIniFile(std::move(iniFile)) {}

QString QtSettingsStore::value(const QString& application, const QString& section, const QString& key,
                               const QString& defaultValue) {
    auto settings = open(mIniFile, application);
    settings->beginGroup(section);
    return settings->value(key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString& application, const QString& section, const QString& key,
                               const QString& value) {
    auto settings = open(mIniFile, application);
    settings->beginGroup(section);
    settings->setValue(key, value);
}

}  // namespace platform
