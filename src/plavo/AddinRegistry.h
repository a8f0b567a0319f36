// The host's per-user add-in list and class registrations, kept in one settings file: the stand-in for
// the per-user registry keys the host reads at start. Written by an add-in library's DllRegisterServer
// and by the host's Add-ins dialog, read by the host when it starts.
//
// The file is QORVEL_REGISTRY when that is set, else Registry.ini in the user's Qorvel settings folder.
#pragma once

#include <QSettings>
#include <QString>

#include <memory>
#include <vector>

namespace addinregistry {

inline constexpr char kAddinsKey[] = "HKEY_CURRENT_USER/Software/Microsoft/Office/Access/Addins";
inline constexpr char kClassesKey[] = "HKEY_CURRENT_USER/Software/Classes";
// Load when the host starts.
inline constexpr int kLoadAtStartup = 3;

struct AddinEntry {
    QString progId;
    QString friendlyName;
    QString description;
    int loadBehavior = 0;
    QString library;  // the class's in-process server
};

inline std::unique_ptr<QSettings> openRegistry() {
    const QString file = qEnvironmentVariable("QORVEL_REGISTRY");
    if (!file.isEmpty()) {
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Qorvel"),
                                       QStringLiteral("Registry"));
}

inline void writeEntry(const AddinEntry& entry) {
    auto registry = openRegistry();
    registry->beginGroup(QString::fromLatin1(kAddinsKey) + QLatin1Char('/') + entry.progId);
    registry->setValue(QStringLiteral("FriendlyName"), entry.friendlyName);
    registry->setValue(QStringLiteral("Description"), entry.description);
    registry->setValue(QStringLiteral("LoadBehavior"), entry.loadBehavior);
    registry->endGroup();
    registry->setValue(QString::fromLatin1(kClassesKey) + QLatin1Char('/') + entry.progId +
                           QStringLiteral("/InprocServer32"),
                       entry.library);
    registry->sync();
}

inline void removeEntry(const QString& progId) {
    auto registry = openRegistry();
    registry->remove(QString::fromLatin1(kAddinsKey) + QLatin1Char('/') + progId);
    registry->remove(QString::fromLatin1(kClassesKey) + QLatin1Char('/') + progId);
    registry->sync();
}

inline void setLoadBehavior(const QString& progId, int loadBehavior) {
    auto registry = openRegistry();
    registry->setValue(
        QString::fromLatin1(kAddinsKey) + QLatin1Char('/') + progId + QStringLiteral("/LoadBehavior"),
        loadBehavior);
    registry->sync();
}

inline std::vector<AddinEntry> entries() {
    std::vector<AddinEntry> result;
    auto registry = openRegistry();
    registry->beginGroup(QString::fromLatin1(kAddinsKey));
    const QStringList progIds = registry->childGroups();
    for (const QString& progId : progIds) {
        AddinEntry entry;
        entry.progId = progId;
        entry.friendlyName = registry->value(progId + QStringLiteral("/FriendlyName")).toString();
        entry.description = registry->value(progId + QStringLiteral("/Description")).toString();
        entry.loadBehavior = registry->value(progId + QStringLiteral("/LoadBehavior")).toInt();
        result.push_back(entry);
    }
    registry->endGroup();
    for (AddinEntry& entry : result) {
        entry.library = registry
                            ->value(QString::fromLatin1(kClassesKey) + QLatin1Char('/') + entry.progId +
                                    QStringLiteral("/InprocServer32"))
                            .toString();
    }
    return result;
}

}  // namespace addinregistry
