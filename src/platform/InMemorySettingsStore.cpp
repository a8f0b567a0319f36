#include "platform/InMemorySettingsStore.h"

namespace platform {

// The platform's store ignores case in application, section and key names.
QString InMemorySettingsStore::pathOf(const QString& application, const QString& section,
                                      const QString& key) {
    return (application + QChar(u'\n') + section + QChar(u'\n') + key).toCaseFolded();
}

QString InMemorySettingsStore::value(const QString& application, const QString& section, const QString& key,
                                     const QString& defaultValue) {
    return mValues.value(pathOf(application, section, key), defaultValue);
}

void InMemorySettingsStore::setValue(const QString& application, const QString& section, const QString& key,
                                     const QString& value) {
    mValues.insert(pathOf(application, section, key), value);
}

bool InMemorySettingsStore::contains(const QString& application, const QString& section,
                                     const QString& key) const {
    return mValues.contains(pathOf(application, section, key));
}

}  // namespace platform
