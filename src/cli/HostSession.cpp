#include "cli/HostSession.h"

#include "catalogue/AccessApplication.h"
#include "cli/CommandLine.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"

namespace cli {

HostSession::HostSession() {
    if (!platform::services().prompter) {
        platform::services().prompter = &mPrompter;
    }
}

HostSession::~HostSession() {
    if (AccessApplication == mApplication.get()) {
        AccessApplication = nullptr;
    }
    if (platform::services().prompter == &mPrompter) {
        platform::services().prompter = nullptr;
    }
}

bool HostSession::open(const QString& path) {
    // Commands that run the add-in write temporary queries.
    mDatabase = openDatabase(path, qdb::OpenMode::ReadWrite);
    if (!mDatabase) {
        return false;
    }
    mApplication = qdb::HostApplication::create();
    mApplication->setDatabase(mDatabase);
    AccessApplication = mApplication.get();
    return true;
}

}  // namespace cli
