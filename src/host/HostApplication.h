// The host application of the stand-in: the state the add-in asks about (current object, version, object
// states, open objects and views, current project, echo, mouse pointer, named procedures) over an open
// QdbDatabase. Programs and tests set the state; the add-in reads it through host::Application.
#pragma once

#include "hostapi/host.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace qdb {

class QdbDatabase;

class HostApplication : public host::Application {
public:
    static std::unique_ptr<HostApplication> create();

    // The open database (nullptr closes it).
    virtual void setDatabase(std::shared_ptr<QdbDatabase> database) = 0;
    virtual std::shared_ptr<QdbDatabase> database() const = 0;

    // The object that has the focus (nothing: none has).
    virtual void setCurrentObject(std::optional<host::ObjectRef> object) = 0;
    virtual void setVersion(const QString& versionText) = 0;  // "12.0" unless set
    virtual void setObjectState(const host::ObjectRef& object, host::ObjectStates state) = 0;
    virtual void setConnectionMode(int mode) = 0;
    // Named procedures that Run accepts; every call is recorded.
    virtual void registerProcedure(const QString& name) = 0;
    virtual QStringList procedureCalls() const = 0;

    // What the add-in did to the host, for the programs and tests to read back.
    // The view an object is open in (Normal or Design), or nothing when it is closed.
    virtual std::optional<host::View> openView(const host::ObjectRef& object) const = 0;
    virtual bool echoOn() const = 0;
    virtual QStringList sentKeys() const = 0;
    virtual QList<host::Command> commandsRun() const = 0;  // DoCmd.RunCommand, in order
    virtual void setMainWindowHandle(quintptr handle) = 0;
    // Called after every DoCmd action that opens, closes or selects an object ("OpenQuery", "OpenTable",
    // "OpenForm", "OpenReport", "Close", "SelectObject", "RunCommand").
    // A selected page of the database window comes with an empty name.
    using CommandObserver = std::function<void(const QString& action, const host::ObjectRef& object)>;
    virtual void setCommandObserver(CommandObserver observer) = 0;
};

}  // namespace qdb
