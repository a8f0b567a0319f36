// The host application of the stand-in: the state the add-in asks about (current object, version, object
// states, open objects and views, current project, echo, mouse pointer, named procedures) over an open
// QdbDatabase. Programs and tests set the state; the add-in reads it through host::Application.
#pragma once

#include "catalogue/host.h"

#include <QString>

#include <memory>

namespace qdb {

class QdbDatabase;

class HostApplication : public host::Application {
public:
    static std::unique_ptr<HostApplication> create();

    // The open database (nullptr closes it).
    virtual void setDatabase(std::shared_ptr<QdbDatabase> database) = 0;
    virtual std::shared_ptr<QdbDatabase> database() const = 0;

    virtual void setCurrentObject(int objectType, const QString& name) = 0;
    virtual void setVersion(const QString& versionText) = 0;  // "12.0" unless set
    // Object state bits (acObjStateOpen, acObjStateDirty, acObjStateNew) of one object.
    virtual void setObjectState(int objectType, const QString& name, int state) = 0;
    virtual void setConnectionMode(int mode) = 0;
    // Named procedures that Run accepts; every call is recorded.
    virtual void registerProcedure(const QString& name) = 0;
    virtual QStringList procedureCalls() const = 0;
};

}  // namespace qdb
