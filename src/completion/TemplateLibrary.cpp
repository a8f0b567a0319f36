#include "completion/TemplateLibrary.h"

#include "catalogue/mMain.h"
#include "completion/clsFolder.h"
#include "support/ErrorBoundary.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

QString UserTemplateRoot() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/Qorvel/templates");
}

QStringList TemplateRoots() {
    QStringList roots{QDir(AddInFolder()).filePath(QStringLiteral("templates"))};
    const QString user = UserTemplateRoot();
    if (!user.isEmpty() && !roots.contains(user)) {
        roots << user;
    }
    return roots;
}

QString TemplateText(QString contents) {
    while (contents.startsWith(QLatin1String("\r\n"))) {
        contents.remove(0, 2);
    }
    while (contents.endsWith(QLatin1String("\r\n"))) {
        contents.chop(2);
    }
    return contents;
}

TemplateCollection GetTemplates(const platform::Services& services, const QStringList& roots,
                                const QString& subFolder) {
    std::vector<CDictionary> found;
    for (int rootIndex = 0; rootIndex < roots.size(); ++rootIndex) {
        clsFolder folder(services);
        if (!folder.InitFolder(roots.at(rootIndex) + QLatin1Char('/') + subFolder, QStringLiteral("*.*"))) {
            continue;
        }
        QStringList namesOfThisRoot;
        for (const auto& entry : folder.Files()) {
            clsFile file = entry.item;
            const QString name = file.Name();
            if (name.isEmpty() || namesOfThisRoot.contains(name, Qt::CaseInsensitive)) {
                continue;  // the same name with another extension: the first one counts
            }
            try {
                file.setSilent(true);
                const QString text = file.Contents();
                if (file.Error() != 0) {
                    continue;
                }
                namesOfThisRoot << name;
                CDictionary record{name, TemplateText(text)};
                const auto same = std::find_if(found.begin(), found.end(), [&](const CDictionary& d) {
                    return d.EntryKey.compare(name, Qt::CaseInsensitive) == 0;
                });
                if (same != found.end()) {
                    *same = std::move(record);
                } else {
                    found.push_back(std::move(record));
                }
            } catch (...) {
                // an unreadable file is passed over
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const CDictionary& a, const CDictionary& b) {
        return a.EntryKey.compare(b.EntryKey, Qt::CaseInsensitive) < 0;
    });
    TemplateCollection collection;
    for (CDictionary& record : found) {
        const QString key = record.EntryKey;
        collection.addUnique(std::move(record), key);
    }
    return collection;
}
