// What a command undoes when SIGINT, SIGTERM or SIGHUP stops it.
//
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

// SIGINT, SIGTERM and SIGHUP heard instead of obeyed, while a command undoes what it wrote to a database:
// only a flag can be set safely inside a signal handler, so the command polls it between two steps, stops,
// cleans up and then ends. One object at a time.
class DeferredInterrupt {
public:
    DeferredInterrupt();
    // Gives the signals their earlier handling back.
    ~DeferredInterrupt();
    DeferredInterrupt(const DeferredInterrupt&) = delete;
    DeferredInterrupt& operator=(const DeferredInterrupt&) = delete;

    // The signal heard since the object was made; 0 when none.
    static int heard();
};

}  // namespace cli
