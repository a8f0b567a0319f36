// Writing a whole database file safely: built under a hidden temporary name beside the target and renamed
// into place only when complete, so a failure never leaves a partial file and a replaced file stays as it
// was until the new one is ready.
#pragma once

#include "host/QdbDatabase.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>

namespace qdb {

// The file could not be written; the message is one line naming the problem (without the program's name).
class DatabaseFileError : public std::runtime_error {
public:
    explicit DatabaseFileError(const QString& message)
        : std::runtime_error(message.toStdString()), mMessage(message) {}
    const QString& message() const noexcept { return mMessage; }

private:
    QString mMessage;
};

// Whether target may be built: not something other than a file, not existing without replace, in a folder
// that exists. Throws DatabaseFileError when not, so a program can refuse before any work.
void checkDatabaseTarget(const QString& target, bool replace);

// Builds the database file target with build(), which fills a new, empty database. Without replace an
// existing target is never touched (DatabaseFileError). Exceptions of build() pass through after the
// temporary file is removed. What killed runs for the same target left behind is removed first. watch, when
// given, is told the temporary files before the build starts and keeps what it returns until they are gone
// (a program removes them when a signal ends it).
void buildDatabaseFile(const QString& target, bool replace, const std::function<void(QdbDatabase&)>& build,
                       const std::function<std::shared_ptr<void>(const QStringList&)>& watch = {});

// A path in single quotes, as the messages name files.
QString quotedPath(const QString& path);

}  // namespace qdb
