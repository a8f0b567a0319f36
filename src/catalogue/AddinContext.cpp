#include "catalogue/AddinContext.h"

#include "catalogue/mMain.h"
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

void AddinContext::disconnect() {
    mApplication = nullptr;
    mDisconnected = true;
    if (mHtmlHelp) {
        mHtmlHelp->Shutdown();
    }
}

ToolWindows& AddinContext::windows() const {
    if (!mWindows) {
        RaiseObjectNotSet();
    }
    return *mWindows;
}

std::shared_ptr<clsHtmlHelp> AddinContext::htmlHelp() {
    if (!mHtmlHelp) {
        // The services go with the add-in: after disconnection help has none.
        mHtmlHelp = mDisconnected ? std::make_shared<clsHtmlHelp>(nullptr)
                                  : std::make_shared<clsHtmlHelp>(mServices.help, mServices.events);
        mHtmlHelp->SetFile(HelpFilePath());
    }
    return mHtmlHelp;
}
