#include "catalogue/AddinContext.h"

#include "platform/LoadedForms.h"
#include "support/mErrorHandle.h"

void RaiseObjectNotSet() {
    throw host::Error(errObjectNotSet, QStringLiteral("Object variable or With block variable not set"),
                      kProjectName);
}

AddinContext::AddinContext(host::Application* application, platform::Services services, ToolWindows* windows)
    : mApplication(application), mServices(std::move(services)), mWindows(windows) {
    if (!mServices.forms) {
        mServices.forms = std::make_shared<platform::LoadedForms>();
    }
}

host::Application& AddinContext::host() const {
    if (!mApplication) {
        RaiseObjectNotSet();
    }
    return *mApplication;
}

std::shared_ptr<host::Database> AddinContext::currentDatabase() const {
    std::shared_ptr<host::Database> database = mApplication ? mApplication->currentDb() : nullptr;
    if (!database) {
        RaiseObjectNotSet();
    }
    return database;
}

ToolWindows& AddinContext::windows() const {
    if (!mWindows) {
        RaiseObjectNotSet();
    }
    return *mWindows;
}
