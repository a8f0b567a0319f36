#include "cli/HostSession.h"

#include "cli/CommandLine.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"

namespace cli {

HostSession::HostSession() = default;

// The context first: it refers to the application.
HostSession::~HostSession() {
    mContext.reset();
}

bool HostSession::open(const QString& path) {
    // Commands that run the add-in write temporary queries.
    mDatabase = openDatabase(path, qdb::OpenMode::ReadWrite);
    if (!mDatabase) {
        return false;
    }
    mApplication = qdb::HostApplication::create();
    mApplication->setDatabase(mDatabase);
    platform::Services services;
    services.prompter = &mPrompter;
    mContext = std::make_unique<AddinContext>(mApplication.get(), std::move(services));
    return true;
}

}  // namespace cli
