// Files and folders for the end-to-end tests of the qorvel command.
#pragma once

#include "common/QStringPrinter.h"
#include "common/QorvelProcess.h"
#include "common/TextFiles.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <ostream>

// A scenario file in tests/cli/data, or a file of the repository.
QString testData(const QString& name);
QString sourceFile(const QString& path);

void writeFile(const QString& path, const QByteArray& contents);

// The names of every entry of a folder, hidden ones included.
QStringList folderEntries(const QDir& folder);
