#include "completion/clsFolder.h"

#include "support/mErrorHandle.h"

#include <QDir>
#include <QFileInfo>

bool clsFolder::InitFolder(const QString& path, const QString& patterns) {
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        return false;
    }
    mFullPath = path.endsWith(QLatin1Char('/')) && path.size() > 1 ? path.chopped(1) : path;
    mPatterns = patterns;
    GetFiles();
    GetFolders();
    return true;
}

QString clsFolder::Name() const {
    return mFullPath.mid(mFullPath.lastIndexOf(QLatin1Char('/')) + 1);
}

void clsFolder::GetFiles() {
    mFiles.clear();
    try {
        QStringList patterns;
        for (const QString& pattern : mPatterns.split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty()) {
                patterns << pattern.trimmed();
            }
        }
        if (patterns.isEmpty()) {
            patterns << QStringLiteral("*.*");
        }
        std::vector<clsFile> sorted;
        const QDir folder(mFullPath);
        for (const QString& pattern : patterns) {
            // "*.*" means every file, as the host platform reads it, dotless names included.
            const QStringList filter{pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern};
            const QStringList names =
                folder.entryList(filter, QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
            for (const QString& name : names) {
                clsFile file(mServices, mFullPath + QLatin1Char('/') + name);
                if (std::any_of(sorted.begin(), sorted.end(),
                                [&](const clsFile& f) { return f.FullName == file.FullName; })) {
                    continue;
                }
                const QString key = file.Name();
                const auto after = std::find_if(sorted.begin(), sorted.end(), [&](const clsFile& f) {
                    return f.Name().compare(key, Qt::CaseInsensitive) > 0;
                });
                sorted.insert(after, std::move(file));
            }
        }
        for (clsFile& file : sorted) {
            const QString key = file.FullName;
            mFiles.addUnique(std::move(file), key);
        }
    } catch (...) {
        ErrorHandleCurrent(mServices, QString(), QString(), QStringLiteral("clsFolder.GetFiles"));
    }
}

void clsFolder::GetFolders() {
    mFolders.clear();
    try {
        const QStringList names =
            QDir(mFullPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names) {
            auto folder = std::make_shared<clsFolder>(mServices);
            if (folder->InitFolder(mFullPath + QLatin1Char('/') + name, mPatterns)) {
                mFolders.addUnique(std::move(folder), name);
            }
        }
    } catch (...) {
        ErrorHandleCurrent(mServices, QString(), QString(), QStringLiteral("clsFolder.GetFolders"));
    }
}
