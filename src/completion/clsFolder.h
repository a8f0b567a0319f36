// One folder of the template library: the plain files in it that match a list of patterns, and its
// sub-folders read the same way, both sorted by name without regard to case.
#pragma once

#include "completion/clsFile.h"
#include "platform/Platform.h"
#include "support/KeyedCollection.h"

#include <QString>

#include <memory>

class clsFolder {
public:
    explicit clsFolder(platform::Services services = {}) : mServices(std::move(services)) {}

    // Reads the folder; false when the path is no existing folder. Patterns are separated by ";" (blanks
    // around each are dropped); none means every file.
    bool InitFolder(const QString& path, const QString& patterns = QString());

    // Without a trailing "/".
    const QString& FullPath() const { return mFullPath; }
    QString Name() const;
    // Keyed by full name, ordered by name without extension (equal names in the order found).
    const KeyedCollection<clsFile>& Files() const { return mFiles; }
    // Keyed by folder name, ordered by name.
    const KeyedCollection<std::shared_ptr<clsFolder>>& Folders() const { return mFolders; }

private:
    void GetFiles();
    void GetFolders();

    platform::Services mServices;
    QString mFullPath;
    QString mPatterns;
    KeyedCollection<clsFile> mFiles;
    KeyedCollection<std::shared_ptr<clsFolder>> mFolders;
};
