// The host stand-in for one command: opens a database, makes it the host application's current database,
// and gives the add-in a context on that application with the command line's message boxes.
#pragma once

#include "catalogue/AddinContext.h"
#include "cli/StderrPrompter.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace qdb {
class HostApplication;
class QdbDatabase;
}  // namespace qdb

namespace cli {

class HostSession {
public:
    HostSession();
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Opens the database file as openDatabase does; false (with its message on standard error) when it
    // cannot be opened.
    bool open(const QString& path);

    qdb::HostApplication& application() { return *mApplication; }
    qdb::QdbDatabase& database() { return *mDatabase; }
    // The add-in's context on the opened database; valid after open succeeded.
    AddinContext& context() { return *mContext; }

private:
    StderrPrompter mPrompter;
    std::unique_ptr<qdb::HostApplication> mApplication;
    std::shared_ptr<qdb::QdbDatabase> mDatabase;
    std::unique_ptr<AddinContext> mContext;
};

// The --type words of the commands that take an object: table, query, form, report.
std::optional<host::ObjectType> objectTypeNamed(const QString& word);  // any case; nothing if unknown
QString objectTypeWord(host::ObjectType type);
// The tables, queries, forms and reports of that name (ignoring case), in that order, each as the database
// spells it.
QList<host::ObjectRef> objectsNamed(const QString& name, host::Database& database);

}  // namespace cli
