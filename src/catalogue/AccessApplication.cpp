#include "catalogue/AccessApplication.h"

#include "support/mErrorHandle.h"

host::Application* AccessApplication = nullptr;

void RaiseObjectNotSet() {
    throw host::Error(errObjectNotSet, QStringLiteral("Object variable or With block variable not set"),
                      kProjectName);
}

host::Application& Host() {
    if (!AccessApplication) {
        RaiseObjectNotSet();
    }
    return *AccessApplication;
}

std::shared_ptr<host::Database> CurrentDatabase() {
    std::shared_ptr<host::Database> database = AccessApplication ? AccessApplication->currentDb() : nullptr;
    if (!database) {
        RaiseObjectNotSet();
    }
    return database;
}
