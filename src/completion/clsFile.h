// One file of the template library: its name parts and its whole text.
#pragma once

#include "platform/Platform.h"

#include <QString>

class clsFile {
public:
    // Read and write failures go to the services' error path unless the file is silent.
    explicit clsFile(platform::Services services = {}, QString fullName = QString());

    QString FullName;

    void setSilent(bool silent) { mSilent = silent; }
    // The error number of the last failed read or write; 0 after a successful one.
    int Error() const { return mError; }

    // Before the last "/" (the folder), after it, and that without or only its extension.
    QString Path() const;
    QString NameWithExtension() const;
    QString Name() const;
    QString Extension() const;

    // The text, every line ended by CR LF (so a file that has text ends in CR LF); empty for a missing
    // file. Bytes that are not UTF-8 are read one character per byte.
    QString Contents();
    // Replaces the file by the text, unchanged; a file that cannot be deleted first is left as it is.
    void setContents(const QString& text);
    bool Delete();

private:
    void fail(int number, const QString& description, const QString& operation);

    platform::Services mServices;
    bool mSilent = false;
    int mError = 0;
};
