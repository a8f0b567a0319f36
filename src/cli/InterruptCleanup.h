// Files that a command removes when SIGINT, SIGTERM or SIGHUP ends it, so that an interrupted run leaves no
// debris. Only removing files is safe inside a signal handler; the signal then ends the process as it would
// have without the handler.
#pragma once

#include <QStringList>

#include <memory>

namespace cli {

class FilesRemovedOnInterrupt {
public:
    // Watches the files until destroyed; one object at a time.
    explicit FilesRemovedOnInterrupt(const QStringList& paths);
    ~FilesRemovedOnInterrupt();
    FilesRemovedOnInterrupt(const FilesRemovedOnInterrupt&) = delete;
    FilesRemovedOnInterrupt& operator=(const FilesRemovedOnInterrupt&) = delete;
};

// The same as a watcher for qdb::buildDatabaseFile: the files are watched while the result is held.
std::shared_ptr<void> removeOnInterrupt(const QStringList& paths);

}  // namespace cli
